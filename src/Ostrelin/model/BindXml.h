#pragma once
// The two files the bind tool reads: KPGEditor_Conf.xml (root BindConf: display language,
// guide languages and replaced title files) and KPGEditor_Info.xml (root BindBody: the
// servers and the data files each carries). Both are written with the system's one XML
// technique and by atomic replace, so a failed save leaves the previous file whole.
#include "Ostrelin/model/BindData.h"
#include "platform/AtomicFile.h"
#include "platform/XmlWriter.h"

#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

// Appends element `name` to parent, with a text node when text is not empty.
QDomElement AddXmlElement(QDomDocument& doc, QDomNode parent, const QString& name,
                          const QString& text);

// One language slot of the configuration file; row i belongs to language i.
class CBindConfItem
{
public:
    QString m_strBaseLanguage;
    QString m_strSupportLanguage;
    QString m_strTitleImg;
};

using BindConfRows = std::array<CBindConfItem, kLanguageCount>;

// The nine rows from the language settings and the mask of the titles that were replaced;
// titleFolder ends with a separator.
BindConfRows BuildBindConfRows(const CLanguageSettings& settings, quint16 titleMask,
                               const QString& titleFolder);

class CXmlBindConfFile
{
public:
    virtual ~CXmlBindConfFile();

    // True only when the file was written.
    bool Save(const QString& path, const BindConfRows& rows);
    // The same for `name` in a folder held open.
    bool Save(const OutputFolder& folder, const QString& name, const BindConfRows& rows);
    static QDomDocument BuildDocument(const BindConfRows& rows);
    static bool SaveDocument(const QString& path, const QDomDocument& doc);
};

// One row of the information file; a field at its empty value is left out of the file.
class CBindInfoItem
{
public:
    QString m_strName;
    QString m_strRole;
    qint32 m_nChannel = -1;
    QString m_strResource;
    QString m_strKind;
    qint32 m_nGuideNo = -1;
};

using BindInfoRows = std::vector<CBindInfoItem>;
// Where rows go as they are made, in push order; a row is only valid during the call.
using BindInfoSink = std::function<void(const CBindInfoItem&)>;

// Names data files as they are spelt on disk, like BindFilePath, but lists each folder only
// once: a full content server names thousands of files in nine folders.
class CDiskSpelling
{
public:
    class Folder;

    CDiskSpelling();
    ~CDiskSpelling();
    CDiskSpelling(const CDiskSpelling&) = delete;
    CDiskSpelling& operator=(const CDiskSpelling&) = delete;

    QString Of(const QString& path);
    // The folder's listing, made on first use; it lives as long as this object.
    const Folder& In(const QString& folderPath);

private:
    std::map<QString, std::unique_ptr<Folder>> m_folders;
};

// Gives the rows of one server: a content server one row per registered guide number and
// guide language, a questionnaire server one per guide language, and a server without rows
// its identity alone. Only the server's first row names it. The folders end with a
// separator.
void AppendServerRows(const CBindData& data, const CServer& server, const QString& contentsFolder,
                      const QString& queryFolder, const BindInfoSink& add, CDiskSpelling& spelling);
// The same, appended to rows.
void AppendServerRows(const CBindData& data, const CServer& server, const QString& contentsFolder,
                      const QString& queryFolder, BindInfoRows& rows, CDiskSpelling& spelling);

// The information file written row by row as the rows are made: a full content server has
// thousands of rows, and none of them needs to be kept. The bytes are those SaveDocument
// gives for BuildDocument of the same rows.
class CBindInfoWriter
{
public:
    explicit CBindInfoWriter(const QString& path);
    // The same for `name` in a folder held open.
    CBindInfoWriter(const OutputFolder& folder, const QString& name);
    ~CBindInfoWriter(); // the old file stays unless committed
    CBindInfoWriter(const CBindInfoWriter&) = delete;
    CBindInfoWriter& operator=(const CBindInfoWriter&) = delete;

    void Add(const CBindInfoItem& row);
    // Replaces the file (without waiting for the disk: it is made anew at every output);
    // false leaves the old one whole.
    bool Commit();

private:
    void Begin();

    FileReplacement m_file;
    XmlWriter::Stream m_out;
    bool m_open = false; // BindInfo's start tag is written
};

class CXmlBindInfoFile
{
public:
    virtual ~CXmlBindInfoFile();

    bool Save(const QString& path, const BindInfoRows& rows);
    static QDomDocument BuildDocument(const BindInfoRows& rows);
    static bool SaveDocument(const QString& path, const QDomDocument& doc);
};

// The path as it is spelt on disk when the file exists, else as given: the bind tool may
// not ignore letter case the way the programs' own lookups do.
QString BindFilePath(const QString& path);
