#pragma once
// The output of a project into the card tree: the pre-output check, the summary of the
// output page and the run itself (the last card and titles held aside, create, titles, the
// two bind files, the bind tool waited for in 10 ms slices, each serving the events). Progress,
// pumping and cancel go through COutputProgress; without one the run goes through to its end.
#include "Ostrelin/model/BindXml.h"
#include "Ostrelin/model/TitleScreen.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>

class COstrelinDoc;
class ExternalTool;
class WinePreparingNote;
class COutputProgress;

// The paths of one run, built from the project file's path.
struct OutputPaths
{
    explicit OutputPaths(const QString& projectPath);

    QString projectFolder;
    QString convertFolder;  // ProjectFolder/convert/
    QString titleFolder;    // .../output/title/
    QString contentsFolder; // .../output/contents/
    QString queryFolder;    // .../output/query/
    QString xmlFolder;      // .../input/xml/
    QString sdFolder;       // .../output/SD
    QString confFile;       // xml folder + KPGEditor_Conf.xml
    QString infoFile;       // xml folder + KPGEditor_Info.xml
};

// Checks that every file the bind tool will be given can be read: the title pictures of the
// guide languages, the content files of each registered work in each guide language (only
// their header is read) and, with a questionnaire server, the questionnaire files. The
// report gets one section per kind of problem. True when the report is empty, and after a
// cancel (with *cancelled set).
bool CheckStepData(COstrelinDoc& doc, const QString& projectPath, QString& report, bool* cancelled,
                   COutputProgress* progress);

// The output page's text: display language, guide languages and the card folder.
QString BuildOutputSummary(const CBindData& data, const QString& projectPath);

class COutputRun
{
public:
    COutputRun(COstrelinDoc& doc, QString projectPath, QString appFolder, QString binFolder);

    void SetProgress(COutputProgress* progress) { m_pProgress = progress; }
    // The unpacked converter tools handed to the title replacer; empty when they could not
    // be unpacked (no title can then be made).
    void SetToolFolder(const QString& folder) { m_strToolFolder = folder; }
    // How the title replacer is started and waited for.
    void SetTitleRunner(ToolRunner runner) { m_titleRunner = std::move(runner); }
    // How the time of the waits on the tools passes; null (the default) is real time.
    void SetWaitClock(WaitClock* clock) { m_pClock = clock; }
    // Shows a text in the progress's place: while a Windows tool waits for Wine, and the
    // normal text again.
    void SetWaitText(std::function<void(const QString&)> setText)
    {
        m_setWaitText = std::move(setText);
    }
    // Where the screen bitmaps go; by default the user's temporary folder.
    void SetTempFolder(const QString& folder)
    {
        m_strTempFolder = folder;
        m_bTempFolderSet = true;
    }

    // Always true; *cancelled tells the outcome: false when the run went through, true when
    // it was cancelled or stopped after a failure. Both tools are known to start before the
    // last card and title files are held aside; a run that does not go through removes what
    // it wrote and puts them back whole before it returns.
    bool RunOutput(bool* cancelled);

    // The title mask of the last run.
    quint16 TitleMask() const { return m_wTitleMask; }
    // What went wrong without stopping the last run: titles left out because their replacer
    // failed.
    const QStringList& Warnings() const { return m_warnings; }

private:
    bool CancelTest(bool* cancelled);
    // False, with the reason told and *cancelled set, when the tool cannot start here.
    bool IsStartable(const ExternalTool& tool, bool* cancelled) const;
    void StepIt();
    void SetStep(int step);
    // The wait on a tool: the events are served on every slice whatever the bar shows, and
    // the cancel test is asked on every slice; stepping advances the bar as well, and a note
    // is told of every slice.
    ToolWait Wait(bool stepping, WinePreparingNote* note = nullptr) const;
    // For a Windows tool the note that its wait is Wine's until `showedAnything`; none else.
    std::unique_ptr<WinePreparingNote> WineNote(const ExternalTool& tool,
                                                std::function<bool()> showedAnything) const;

    COstrelinDoc& m_doc;
    QString m_strProjectPath;
    QString m_strAppFolder;
    QString m_strBinFolder;
    QString m_strToolFolder;
    QString m_strTempFolder;
    bool m_bTempFolderSet = false;
    ToolRunner m_titleRunner = RunTool;
    WaitClock* m_pClock = nullptr;
    std::function<void(const QString&)> m_setWaitText;
    COutputProgress* m_pProgress = nullptr;
    quint16 m_wTitleMask = 0;
    QStringList m_warnings;
};
