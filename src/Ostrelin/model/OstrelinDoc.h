#pragma once
// The hub's single document: the project data and the project file (".olx").
#include "Ostrelin/model/BindData.h"
#include "platform/Path.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class CArchive;

// Size of the reader's buffer for one content data file, and the bytes of it that are used.
constexpr qint64 kContentFileBufferSize = 5357820;
constexpr qsizetype kContentHeaderSize = 0xC4;
constexpr qsizetype kWorkNumberOffset = 0x0C;
constexpr qsizetype kDescriptionOffset = 0x24;
constexpr int kDescriptionUnits = 80;

// The header of a work's content data file (ProjectFolder/convert/output/contents/<code>),
// zero-filled beyond the file's end, for many works: each language folder is looked up once,
// and each file is opened from its folder.
class CContentBinReader
{
public:
    explicit CContentBinReader(QString projectFolder);
    ~CContentBinReader();
    CContentBinReader(const CContentBinReader&) = delete;
    CContentBinReader& operator=(const CContentBinReader&) = delete;

    std::optional<QByteArray> Load(int language, qint32 fileNo);

private:
    struct Folder
    {
        std::unique_ptr<Path::FolderReader> reader;
        QString nameLead;           // "C" + code
        bool namesMadeHere = false; // else each name comes from the string table
    };
    QString m_projectFolder;
    std::array<Folder, kLanguageCount> m_folders;
};

class COstrelinDoc
{
public:
    COstrelinDoc();
    virtual ~COstrelinDoc();
    COstrelinDoc(const COstrelinDoc&) = delete;
    COstrelinDoc& operator=(const COstrelinDoc&) = delete;

    CBindData& GetBindData() { return m_data; }
    const CBindData& GetBindData() const { return m_data; }

    virtual void Serialize(CArchive& ar);
    virtual bool OnNewDocument();
    // Reads the project file; false when it cannot be read or is not accepted, with the
    // project data left as it was.
    virtual bool OnOpenDocument(const QString& path);
    // Writes the project file whole (a link at the path is kept and the file it names is
    // replaced); on failure SaveError() tells why, in the system's words.
    virtual bool OnSaveDocument(const QString& path);
    const QString& SaveError() const { return m_saveError; }
    // True when the file this project was read from or last saved to, named by the path, was
    // changed or replaced on disk since.
    bool ChangedOnDisk(const QString& path) const;
    // Asks whether to save a modified project; false when the pending action is abandoned.
    virtual bool SaveModified();

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }
    const QString& GetPathName() const { return m_strPathName; }

    void SetDefaultXmlPaths(const QString& projectFilePath);

    // The content scan over ProjectFolder/convert/output/contents/<code>.
    void ScanContentFiles(const QString& projectFolder);
    void ScanQueryLanguages(const QString& projectFolder);
    // True when the content data files of the folder are not the ones the last content scan
    // saw (a name, a size or a time differs), or no scan of that folder was made.
    bool ContentFilesChanged(const QString& projectFolder) const;

    bool m_bLoadError = false;

private:
    // What a content scan sees of one data file before it reads it.
    struct ContentStamp
    {
        QString name; // below the project folder
        qint64 size;
        qint64 modified;
        bool operator==(const ContentStamp&) const = default;
    };
    static std::vector<ContentStamp> ContentStamps(const QString& projectFolder);

    void Store(CArchive& ar) const;
    void Load(CArchive& ar);

    CBindData m_data;
    QString m_strScannedFolder;
    std::vector<ContentStamp> m_contentStamps; // of the last content scan of that folder
    bool m_bModified = false;
    QString m_strPathName;
    std::optional<Path::FileIdentity> m_diskFile; // as read or last written
    QString m_saveError;
};
