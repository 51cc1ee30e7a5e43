#include "Ostrelin/model/OstrelinDoc.h"

#include "Ostrelin/res/resource.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QtEndian>

namespace
{
// "C" + code + five digits + ".bin"
constexpr qsizetype kContentNameLength = 12;
constexpr qsizetype kFileNumberStart = 3;
constexpr qsizetype kFileNumberDigits = 5;

// The project folder joined with one of the relative patterns of the string table.
QString ProjectPath(const QString& projectFolder, const QString& relative)
{
    return Path::Append(projectFolder, relative);
}

// The file number of a content data file name ("C" + code + five digits + ".bin", ASCII
// only), or 0 when the name does not follow that rule.
qint32 FileNumberOf(const QString& name)
{
    if (name.size() != kContentNameLength)
        return 0;
    for (const QChar c : name)
        if (c.unicode() >= 0x80)
            return 0;
    qint32 number = 0;
    for (qsizetype i = kFileNumberStart; i < kFileNumberStart + kFileNumberDigits; ++i)
    {
        const char16_t c = name[i].unicode();
        if (c < u'0' || c > u'9')
            return 0;
        number = number * 10 + (c - u'0');
    }
    return number;
}

QString DescriptionOf(const char* header)
{
    const char* bytes = header + kDescriptionOffset;
    char16_t units[kDescriptionUnits];
    qsizetype length = 0;
    while (length < kDescriptionUnits)
    {
        units[length] = qFromLittleEndian<quint16>(bytes + 2 * length);
        if (units[length] == 0)
            break;
        ++length;
    }
    return QString::fromUtf16(units, length);
}
} // namespace

CContentBinReader::CContentBinReader(QString projectFolder)
    : m_projectFolder(std::move(projectFolder))
{
}

CContentBinReader::~CContentBinReader() = default;

std::optional<QByteArray> CContentBinReader::Load(int language, qint32 fileNo)
{
    if (language < 0 || language >= kLanguageCount)
        return std::nullopt;
    const QString code = GetLanguageCode(language);
    Folder& entry = m_folders[std::size_t(language)];
    if (!entry.reader)
    {
        // The folder from the string table; the names are made here when the table names
        // the files the way the content scan reads them ("C" + code + five digits + ".bin").
        const QString sample = FormatString(IDS_CONTENT_FILE, {code, code, 1});
        const QString path = ProjectPath(m_projectFolder, sample);
        entry.reader = std::make_unique<Path::FolderReader>(Path::RemoveFileSpec(path));
        entry.nameLead = u'C' + code;
        entry.namesMadeHere =
            Path::FindFileName(sample) == entry.nameLead + QStringLiteral("00001.bin");
    }
    if (!entry.namesMadeHere || fileNo < 1 || fileNo > 99999)
        return Path::ReadFileHead(
            ProjectPath(m_projectFolder, FormatString(IDS_CONTENT_FILE, {code, code, fileNo})),
            kContentHeaderSize);
    char digits[] = "00000.bin";
    for (int i = 4, n = fileNo; i >= 0; --i, n /= 10)
        digits[i] = char('0' + n % 10);
    return entry.reader->ReadFileHead(entry.nameLead + QLatin1StringView(digits),
                                      kContentHeaderSize);
}

namespace
{
// The language's folder of content data files and the names the search finds in it, by name
// ignoring case: for the names that pass the rule, that is by file number.
std::pair<QString, QStringList> ContentFilesOf(const QString& projectFolder, int language)
{
    const QString code = GetLanguageCode(language);
    const QString search =
        ProjectPath(projectFolder, FormatString(IDS_CONTENT_SEARCH, {code, code}));
    const QString folder = Path::Resolve(Path::RemoveFileSpec(search));
    return {folder, Path::Find(folder, Path::FindFileName(search), Path::FindFilesOnly)};
}
} // namespace

std::vector<COstrelinDoc::ContentStamp> COstrelinDoc::ContentStamps(const QString& projectFolder)
{
    std::vector<ContentStamp> stamps;
    for (int language = 0; language < kLanguageCount; ++language)
    {
        const auto [folder, names] = ContentFilesOf(projectFolder, language);
        for (const QString& name : names)
        {
            const QString path = folder + u'/' + name;
            const std::optional<Path::FileStamp> stamp = Path::StampOf(path);
            stamps.push_back({path, stamp ? stamp->size : -1, stamp ? stamp->modified : -1});
        }
    }
    return stamps;
}

bool COstrelinDoc::ContentFilesChanged(const QString& projectFolder) const
{
    return projectFolder != m_strScannedFolder || ContentStamps(projectFolder) != m_contentStamps;
}

void COstrelinDoc::ScanContentFiles(const QString& projectFolder)
{
    m_data.ClearWorks();
    // Taken before the files are read: a file that changes meanwhile counts as changed.
    m_strScannedFolder = projectFolder;
    m_contentStamps = ContentStamps(projectFolder);
    for (int language = 0; language < kLanguageCount; ++language)
    {
        const auto [folder, names] = ContentFilesOf(projectFolder, language);
        const Path::FolderReader reader(folder);
        for (const QString& name : names)
        {
            const qint32 fileNo = FileNumberOf(name);
            if (fileNo == 0)
                continue;
            const std::optional<QByteArray> header = reader.ReadFileHead(name, kContentHeaderSize);
            if (!header)
                continue;
            const char* bytes = header->constData();
            const qint32 workNo = qint32(qFromLittleEndian<quint32>(bytes + kWorkNumberOffset));
            const QString description = DescriptionOf(bytes);
            if (const CWork* work = m_data.FindWork(workNo))
            {
                // A work keeps the file number it was first found under.
                if (work->m_nFileNo == fileNo)
                    m_data.AddWorkLanguage(workNo, language, description);
                continue;
            }
            m_data.AddWork(fileNo, workNo, description, quint16(1u << language));
        }
    }
    m_data.m_wGuideLanguages &= m_data.m_wContentLanguages;
    m_data.m_wTitleLanguages &= m_data.m_wGuideLanguages;
}

void COstrelinDoc::ScanQueryLanguages(const QString& projectFolder)
{
    m_data.m_wQueryLanguages = 0;
    for (int language = 0; language < kLanguageCount; ++language)
    {
        const QString relative = FormatString(IDS_QUERY_FILE, {GetLanguageCode(language)});
        if (Path::FileExists(ProjectPath(projectFolder, relative)))
            m_data.m_wQueryLanguages |= quint16(1u << language);
    }
}
