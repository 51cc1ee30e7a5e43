#include "Ostrelin/model/OstrelinDoc.h"

#include "Ostrelin/res/resource.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
// "C" + code + five digits + ".bin"
constexpr qsizetype kContentNameLength = 12;
constexpr qsizetype kFileNumberStart = 3;
constexpr qsizetype kFileNumberDigits = 5;

// The project folder joined with one of the relative patterns of the string table.
QString ProjectPath(const QString& projectFolder, const QString& relative)
{
    return QDir::cleanPath(FormatString(IDS_PATH_JOIN, {projectFolder, relative}));
}

// Reads the first `size` bytes of a file into `buffer`, zero-filled beyond the file's end.
bool ReadFileStart(const std::string& path, char* buffer, std::size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    // Unbuffered: one read of the header instead of a buffer's worth of the file.
    std::setvbuf(file, nullptr, _IONBF, 0);
    const std::size_t done = std::fread(buffer, 1, size, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    std::memset(buffer + done, 0, size - done);
    return !failed;
}

// The file number of a content data file name, or 0 when the five characters after
// "C" + code are not all ASCII digits.
qint32 FileNumberOf(const QString& name)
{
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

struct ContentFile
{
    qint32 fileNo;
    QString name;
    std::string path;
};

// The content data files of a language folder that match the search pattern and the name
// rule, in the folder search's order (by name, ignoring case). The listing takes the entry
// types from the folder itself, so only links and unknown types cost a look-up; at 10,000
// files a folder this is most of the scan's time after the reads.
std::vector<ContentFile> ListContentFiles(const QString& folder, const QString& pattern)
{
    namespace fs = std::filesystem;
    std::vector<ContentFile> files;
    const std::string native = QFile::encodeName(folder).toStdString();
    std::error_code error;
    for (fs::directory_iterator it(native, error), end; !error && it != end; it.increment(error))
    {
        std::error_code typeError;
        // Regular files only (links followed): no folders, devices or pipes.
        if (!it->is_regular_file(typeError))
            continue;
        const std::string& entry = it->path().native();
        const std::size_t slash = entry.rfind('/');
        const char* base = entry.c_str() + (slash == std::string::npos ? 0 : slash + 1);
        // Content names are ASCII; anything longer cannot pass the name rule.
        if (std::strlen(base) != std::size_t(kContentNameLength))
            continue;
        const QString name = QFile::decodeName(base);
        if (name.size() != kContentNameLength || !Path::MatchesPattern(name, pattern))
            continue;
        const qint32 fileNo = FileNumberOf(name);
        if (fileNo == 0)
            continue;
        files.push_back({fileNo, name, entry});
    }
    // Names that passed differ ignoring case only in their digits; ties keep the exact order.
    std::sort(files.begin(), files.end(),
              [](const ContentFile& a, const ContentFile& b)
              { return a.fileNo != b.fileNo ? a.fileNo < b.fileNo : a.name < b.name; });
    return files;
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

std::optional<QByteArray> ReadWholeFile(const QString& path, qsizetype size)
{
    const QString resolved = Path::Resolve(path);
    // A folder, a device or a pipe is not a data file (and a pipe would block the read).
    if (!Path::IsRegularFile(resolved))
        return std::nullopt;
    QByteArray bytes(size, '\0');
    if (!ReadFileStart(QFile::encodeName(resolved).toStdString(), bytes.data(), std::size_t(size)))
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> COstrelinDoc::LoadContentBin(const QString& projectFolder, int language,
                                                       qint32 fileNo) const
{
    const QString code = GetLanguageCode(language);
    const QString relative = FormatString(IDS_CONTENT_FILE, {code, code, fileNo});
    return ReadWholeFile(ProjectPath(projectFolder, relative));
}

void COstrelinDoc::ScanContentFiles(const QString& projectFolder)
{
    m_data.ClearWorks();
    char header[kContentHeaderSize];
    for (int language = 0; language < kLanguageCount; ++language)
    {
        const QString code = GetLanguageCode(language);
        const QString search =
            ProjectPath(projectFolder, FormatString(IDS_CONTENT_SEARCH, {code, code}));
        const QString folder = Path::Resolve(Path::RemoveFileSpec(search));
        for (const ContentFile& file : ListContentFiles(folder, Path::FindFileName(search)))
        {
            if (!ReadFileStart(file.path, header, sizeof header))
                continue;
            const qint32 workNo = qint32(qFromLittleEndian<quint32>(header + kWorkNumberOffset));
            const QString description = DescriptionOf(header);
            if (const CWork* work = m_data.FindWork(workNo))
            {
                // A work keeps the file number it was first found under.
                if (work->m_nFileNo == file.fileNo)
                    m_data.AddWorkLanguage(workNo, language, description);
                continue;
            }
            m_data.AddWork(file.fileNo, workNo, description, quint16(1u << language));
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
