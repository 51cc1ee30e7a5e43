// The document's side of the output: the language folders, the converter's input records
// and its command line. Running the converter is the user interface's part.
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "platform/Path.h"

#include <QDir>
#include <QFile>

namespace
{
// The converter looks files up by exact name: give it the name the file system has.
QString ResolvedIfExists(const QString& path)
{
    return !path.isEmpty() && Path::FileExists(path) ? Path::Resolve(path) : path;
}
} // namespace

QString CTOVKContEditDoc::OutputLanguageCode(int language)
{
    static const char* const codes[] = {"jp", "en", "fr", "ge", "it", "sp", "cn", "kr", "du"};
    return language >= 0 && language < LanguageCount ? QString::fromLatin1(codes[language])
                                                     : QString();
}

bool CTOVKContEditDoc::EnsureFolder(const QString& path)
{
    if (Path::IsDirectory(path))
        return true;
    return !path.isEmpty() && QDir().mkdir(Path::Resolve(path));
}

QString CTOVKContEditDoc::OutputFolder(int language) const
{
    QString folder = Path::Append(m_outputFolders.convertFolder, QStringLiteral("output"));
    folder = Path::Append(folder, QStringLiteral("contents"));
    return Path::Append(folder, OutputLanguageCode(language));
}

bool CTOVKContEditDoc::PrepareOutputFolder(int language, QString* out)
{
    QString folder = Path::Append(m_outputFolders.convertFolder, QStringLiteral("output"));
    if (!EnsureFolder(folder))
        return false;
    folder = Path::Append(folder, QStringLiteral("contents"));
    if (!EnsureFolder(folder))
        return false;
    folder = Path::Append(folder, OutputLanguageCode(language));
    if (!EnsureFolder(folder))
        return false;
    if (out)
        *out = Path::Resolve(folder);
    return true;
}

QString CTOVKContEditDoc::ConverterInputPath(int language) const
{
    const QString title = Path::RemoveExtension(Path::FindFileName(GetPathName()));
    return Path::Append(Path::Resolve(OutputFolder(language)),
                        title + u'_' + OutputLanguageCode(language) + QStringLiteral(".xml"));
}

ExternalTool CTOVKContEditDoc::Converter() const
{
    return ExternalTool::Find(m_outputFolders.startFolder, QStringLiteral("marvex"));
}

CommandLine CTOVKContEditDoc::ConverterCommandLine(const ExternalTool& converter,
                                                   const QString& inputPath,
                                                   const QString& outputFolder) const
{
    return converter.Command({QStringLiteral("-i"), converter.ToolPath(inputPath),
                              QStringLiteral("-opath"), converter.ToolPath(outputFolder),
                              QStringLiteral("-binpath"),
                              converter.ToolPath(m_outputFolders.toolFolder)});
}

void CTOVKContEditDoc::FillConverterRecords(int language, const ExternalTool& converter)
{
    m_records.clear();
    for (const ContentRow& content : m_rows)
    {
        if (content.voice[language].isEmpty() || content.description[language].isEmpty())
            continue;
        ContentRecord record;
        record.nLangType = language;
        record.nProductNo = content.itemNumber;
        record.nProductImgCnt = (content.image1[language].isEmpty() ? 0 : 1) +
                                (content.image2[language].isEmpty() ? 0 : 1);
        record.strProductImg1 = converter.ToolPath(ResolvedIfExists(content.image1[language]));
        record.strProductImg2 = converter.ToolPath(ResolvedIfExists(content.image2[language]));
        record.strProductWav = converter.ToolPath(ResolvedIfExists(content.voice[language]));
        record.strProductTxt = content.description[language];
        record.strProductCmt = content.comment;
        m_records.push_back(std::move(record));
    }
}

std::array<bool, LanguageCount> CTOVKContEditDoc::ContentLanguages() const
{
    std::array<bool, LanguageCount> chosen{};
    int found = 0;
    for (const ContentRow& content : m_rows)
    {
        if (found == LanguageCount)
            break;
        for (int language = 0; language < LanguageCount; ++language)
        {
            if (!chosen[language] && content.HasContent(language))
            {
                chosen[language] = true;
                ++found;
            }
        }
    }
    return chosen;
}
