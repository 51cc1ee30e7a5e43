#include "Ostrelin/model/OstrelinDoc.h"

#include "Ostrelin/res/resource.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QDir>
#include <QFile>
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
    return QDir::cleanPath(FormatString(IDS_PATH_JOIN, {projectFolder, relative}));
}

// Reads the first `size` bytes of a path known to name a regular file.
std::optional<QByteArray> ReadFileStart(const QString& path, qsizetype size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes(size, '\0');
    qsizetype done = 0;
    while (done < size)
    {
        const qint64 n = file.read(bytes.data() + done, size - done);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += qsizetype(n);
    }
    return bytes;
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

QString DescriptionOf(const QByteArray& header)
{
    const char* units = header.constData() + kDescriptionOffset;
    QString text;
    for (int i = 0; i < kDescriptionUnits; ++i)
    {
        const char16_t unit = qFromLittleEndian<quint16>(units + 2 * i);
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}
} // namespace

std::optional<QByteArray> ReadWholeFile(const QString& path, qsizetype size)
{
    const QString resolved = Path::Resolve(path);
    // A folder, a device or a pipe is not a data file (and a pipe would block the read).
    if (!Path::IsRegularFile(resolved))
        return std::nullopt;
    return ReadFileStart(resolved, size);
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
    for (int language = 0; language < kLanguageCount; ++language)
    {
        const QString code = GetLanguageCode(language);
        const QString search =
            ProjectPath(projectFolder, FormatString(IDS_CONTENT_SEARCH, {code, code}));
        const QString folder = Path::Resolve(Path::RemoveFileSpec(search));
        const QStringList names =
            Path::Find(folder, Path::FindFileName(search), Path::FindFilesOnly);
        for (const QString& name : names)
        {
            if (name.size() != kContentNameLength)
                continue;
            const qint32 fileNo = FileNumberOf(name);
            if (fileNo == 0)
                continue;
            const std::optional<QByteArray> header =
                ReadFileStart(folder + u'/' + name, kContentHeaderSize);
            if (!header)
                continue;
            const qint32 workNo =
                qint32(qFromLittleEndian<quint32>(header->constData() + kWorkNumberOffset));
            const QString description = DescriptionOf(*header);
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
