#pragma once
// The folder tree of a project below the folder of its project file, and what the last
// output left in it.
#include "platform/SetAside.h"

#include <QString>

// The folder tree of a project, below the folder of its project file: the one place that
// spells the tree's names. The paths are joined, not looked up on disk.
class CProjectTree
{
public:
    explicit CProjectTree(const QString& projectFilePath);

    // The folder of the project file ("" without one).
    const QString& ProjectFolder() const { return m_projectFolder; }
    QString ConvertFolder() const;  // convert
    QString BmpFolder() const;      // convert/input/bmp
    QString XmlFolder() const;      // convert/input/xml
    QString ContentsFolder() const; // convert/output/contents
    QString QueryFolder() const;    // convert/output/query
    QString TitleFolder() const;    // convert/output/title
    QString SdFolder() const;       // convert/output/SD
    // The card tree's application folder, where the bind tool leaves its "TZM*" folders.
    QString SdAppFolder() const;
    // The default content and questionnaire XML files in the xml folder.
    QString ContentXml() const;
    QString QueryXml() const;

private:
    QString m_projectFolder;
};

// Creates whatever is missing of convert/{input/{bmp,wav,xml},output/{contents,query,title,
// SD}}; folders that exist in another letter case are used as they are.
void CreateProjectFolders(const QString& projectFilePath);

// What the last output left: the bind tool's "TZM*" folders in the card tree's application
// folder and the title replacer's data files. An output holds them aside while it runs; they
// come back whole, and what the output wrote goes, unless the output is kept.
class CLastOutput
{
public:
    explicit CLastOutput(const QString& projectFilePath);

    // Puts back what an output that never ended (a crash, a kill) held aside.
    void Recover();
    // Recover, then holds the last output aside. False, with nothing moved and `error` telling why,
    // when it cannot.
    bool MoveAside(QString* error);
    // The output went through: the last one goes.
    void Keep();

private:
    bool m_bProject; // without a project folder there is nothing to hold
    SetAside m_card;
    SetAside m_titles;
};
// True when the card tree's application folder holds a "TZM*" folder of the bind tool.
bool HasCardOutput(const QString& projectFilePath);
