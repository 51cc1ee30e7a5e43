#include "Ostrelin/model/OstrelinDoc.h"

#include "Ostrelin/model/Archive.h"
#include "Ostrelin/model/ProjectFolders.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "platform/AtomicFile.h"
#include "platform/Messages.h"
#include "platform/Path.h"

namespace
{
constexpr char kMagic[] = "OLX0";
constexpr char kOldestMagic[] = "OLX ";
constexpr quint16 kVersion = 2;
// Far above any real project file (at most a few hundred KB); larger files are refused
// rather than read into memory.
constexpr qint64 kMaxProjectFileSize = 64 * 1024 * 1024;
// Smallest possible server record: an empty 8-bit name and three u32.
constexpr qsizetype kMinServerRecord = 1 + 3 * 4;
} // namespace

COstrelinDoc::COstrelinDoc() = default;

COstrelinDoc::~COstrelinDoc() = default;

void COstrelinDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}

void COstrelinDoc::Store(CArchive& ar) const
{
    ar.WriteBytes(kMagic, 4);
    ar.WriteU16(kVersion);
    ar.WriteU32(quint32(m_data.m_nDisplayLanguage));
    ar.WriteU16(m_data.m_wGuideLanguages);
    ar.WriteU16(m_data.m_wTitleLanguages);
    for (const QString& path : m_data.m_strTitleImage)
        ar.WriteString(path);
    ar.WriteU32(quint32(m_data.m_mapGuides.size()));
    for (const auto& [guideNo, entry] : m_data.m_mapGuides)
    {
        ar.WriteU32(quint32(entry->m_nGuideNo));
        ar.WriteU32(quint32(entry->m_nWorkNo));
    }
    ar.WriteU32(quint32(m_data.m_listServers.size()));
    for (const auto& server : m_data.m_listServers)
    {
        ar.WriteString(server->m_strName);
        ar.WriteU32(quint32(server->m_nRole));
        ar.WriteU32(quint32(server->m_nChannel));
        ar.WriteU32(quint32(server->m_setGuides.size()));
        for (qint32 guideNo : server->m_setGuides)
            ar.WriteU32(quint32(guideNo));
    }
    ar.WriteString(m_data.m_strContentXml);
    ar.WriteString(m_data.m_strQueryXml);
}

void COstrelinDoc::Load(CArchive& ar)
{
    m_bLoadError = false;
    const QByteArray magic = ar.ReadBytes(4);
    quint16 version = 0;
    if (magic == kMagic)
        version = ar.ReadU16();
    else if (magic != kOldestMagic)
    {
        m_bLoadError = true;
        return;
    }
    if (version > kVersion)
    {
        m_bLoadError = true;
        return;
    }

    // Everything is read into a scratch project first, so a file that ends early leaves
    // the document as it was.
    CBindData parsed;
    parsed.m_nDisplayLanguage = qint32(ar.ReadU32());
    parsed.m_wGuideLanguages = ar.ReadU16();
    if (version >= 1)
        parsed.m_wTitleLanguages = ar.ReadU16();
    for (QString& path : parsed.m_strTitleImage)
        path = ar.ReadString();

    const quint32 guideCount = ar.ReadU32();
    ar.CheckCount(guideCount, 8);
    for (quint32 i = 0; i < guideCount; ++i)
    {
        const qint32 guideNo = qint32(ar.ReadU32());
        const qint32 workNo = qint32(ar.ReadU32());
        parsed.AddGuide(guideNo, workNo);
    }

    const quint32 serverCount = ar.ReadU32();
    ar.CheckCount(serverCount, kMinServerRecord);
    for (quint32 i = 0; i < serverCount; ++i)
    {
        CServer record;
        record.m_strName = ar.ReadString();
        record.m_nRole = qint32(ar.ReadU32());
        record.m_nChannel = qint32(ar.ReadU32());
        const quint32 count = ar.ReadU32();
        ar.CheckCount(count, 4);
        for (quint32 k = 0; k < count; ++k)
        {
            const qint32 guideNo = qint32(ar.ReadU32());
            if (guideNo >= 1 && guideNo <= kMaxGuideNo)
                record.m_setGuides.insert(guideNo);
        }
        if (parsed.AddServer(record.m_strName) == BindOk)
            *parsed.FindServer(record.m_strName) = record;
    }

    QString contentXml;
    QString queryXml;
    if (version >= 2)
    {
        contentXml = ar.ReadString();
        queryXml = ar.ReadString();
    }

    m_data.m_nDisplayLanguage = parsed.m_nDisplayLanguage;
    m_data.m_wGuideLanguages = parsed.m_wGuideLanguages;
    m_data.m_wTitleLanguages = parsed.m_wTitleLanguages;
    m_data.m_strTitleImage = parsed.m_strTitleImage;
    m_data.m_mapGuides.swap(parsed.m_mapGuides);
    m_data.m_listServers.swap(parsed.m_listServers);
    if (version >= 2)
    {
        m_data.m_strContentXml = contentXml;
        m_data.m_strQueryXml = queryXml;
    }
    else
    {
        // Older files carry no paths: the project's own defaults, never the previous
        // project's.
        SetDefaultXmlPaths(ar.GetFilePath());
    }
}

bool COstrelinDoc::OnNewDocument()
{
    m_data.Clear();
    m_data.m_strTitleFolder.clear();
    m_data.m_wQueryLanguages = 0;
    m_data.ClearServers();
    m_data.ClearGuides();
    m_data.ClearWorks();
    m_data.m_strContentXml.clear();
    m_data.m_strQueryXml.clear();
    m_bLoadError = false;
    m_strPathName.clear();
    m_diskFile.reset();
    SetModifiedFlag(false);
    return true;
}

bool COstrelinDoc::OnOpenDocument(const QString& path)
{
    m_bLoadError = false;
    const QString resolved = Path::Resolve(path);
    // Opened once, without waiting: a pipe or a device at the name is refused.
    const Path::ReadOnlyFile file = Path::OpenRegularFile(resolved);
    if (!file.IsOpen() || file.Size() > kMaxProjectFileSize)
        return false;
    const std::optional<QByteArray> read = file.ReadAll();
    if (!read)
        return false;
    const QByteArray& bytes = *read;

    CArchive ar(bytes, resolved);
    try
    {
        Serialize(ar);
    }
    catch (const CArchiveException&)
    {
        return false;
    }
    if (m_bLoadError)
        return false;

    m_data.m_wGuideLanguages &= m_data.m_wContentLanguages;
    m_data.m_wTitleLanguages &= m_data.m_wGuideLanguages;
    m_strPathName = path;
    m_diskFile = file.Identity();
    SetModifiedFlag(false);
    return true;
}

bool COstrelinDoc::OnSaveDocument(const QString& path)
{
    CArchive ar(path);
    Serialize(ar);
    // The author's file: a link to it is kept, and it is on the disk before this returns.
    FileReplacement file(path, FileKind::Document);
    file.Write(ar.Bytes());
    m_saveError.clear();
    if (!file.Commit(&m_saveError))
        return false;
    m_strPathName = path;
    m_diskFile = file.Written();
    SetModifiedFlag(false);
    return true;
}

bool COstrelinDoc::ChangedOnDisk(const QString& path) const
{
    if (!m_diskFile || path != m_strPathName)
        return false;
    const std::optional<Path::FileIdentity> now = Path::IdentityOf(Path::Resolve(path));
    return now && *now != *m_diskFile;
}

bool COstrelinDoc::SaveModified()
{
    if (!IsModified())
        return true;
    switch (AfxMessageBox(IDS_SAVE_MODIFIED, MB_YESNOCANCEL | MB_ICONQUESTION))
    {
    case IDYES:
        if (CProjectHost* host = GetProjectHost())
            host->OnFileSave();
        return !IsModified();
    case IDNO:
        return true;
    default:
        return false;
    }
}

void COstrelinDoc::SetDefaultXmlPaths(const QString& projectFilePath)
{
    const CProjectTree tree(projectFilePath);
    m_data.m_strContentXml = tree.ContentXml();
    m_data.m_strQueryXml = tree.QueryXml();
}
