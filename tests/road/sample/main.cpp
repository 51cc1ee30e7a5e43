// Creates the sample project that `make run` opens: a project file with three works in
// Japanese and English, their pictures and voices, the content file, the content data files
// as the converter leaves them, title pictures, guide numbers, languages and two servers; and
// a picture and a voice per language for a fourth work that the author adds.
// Called as: quorvane_sample <folder> (it knows no options). An existing sample keeps every file it
// has; what is missing is written again, and a language whose content data files are all gone (the
// content editor's Output empties those folders before it converts) gets the sample's back.
#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/res/resource.h"
#include "TOVKContEdit/shared/XmlContentDumFile.h"
#include "platform/Path.h"
#include "platform/Profile.h"
#include "platform/Strings.h"
#include "road/sample/SampleData.h"
#include "standins/common/StandinSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

namespace
{
struct SampleWork
{
    const char* japanese;
    const char* english;
    QColor colour;
};

// Writes the file unless it exists; counts what it wrote.
class MissingFiles
{
public:
    bool Write(const QString& path, const QByteArray& bytes)
    {
        if (QFileInfo::exists(path))
            return true;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        ++m_written;
        return true;
    }
    int Written() const { return m_written; }

private:
    int m_written = 0;
};

// The project file: the works the data files hold, both languages for the guide, English with
// a title picture, every work under its own guide number, a program and a content server.
bool SaveProject(COstrelinDoc& document, const QString& folder, const QString& project)
{
    document.ScanContentFiles(folder);
    CBindData& data = document.GetBindData();
    data.m_nDisplayLanguage = 0;
    data.m_wGuideLanguages = 0x0003;
    data.m_wTitleLanguages = 0x0002;
    data.m_strTitleImage[1] = folder + "/convert/input/bmp/title_en.bmp";
    for (int w = 1; w <= 3; ++w)
        data.AddGuide(w, w);
    data.AddServer("PRG01");
    data.AddServer("CNT01");
    if (CServer* contents = data.FindServer("CNT01"))
    {
        contents->m_nRole = RoleContents;
        contents->m_nChannel = 7;
        contents->m_setGuides = {1, 2, 3};
    }
    data.ValidateAllGuides();
    data.ValidateAllServers();
    return document.OnSaveDocument(project);
}
} // namespace

int main(int argc, char** argv)
{
    const char* usage = "usage: quorvane_sample <folder>\n"
                        "Writes the sample project into <folder>, or repairs the one there.\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    {
        std::fputs(usage, stdout);
        return 0;
    }
    // A folder name that starts with a dash is taken for an option: nothing is written.
    if (argc != 2 || argv[1][0] == '-' || argv[1][0] == '\0')
    {
        if (argc == 2 && argv[1][0] == '-')
            std::fprintf(stderr, "quorvane_sample: unknown option %s\n", argv[1]);
        std::fputs(usage, stderr);
        return 2;
    }
    // Pictures are drawn off screen; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    Strings::Install(OstrelinStringsJA());
    const QString folder = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString project = folder + "/GuideData.olx";
    const bool existing = QFileInfo::exists(project);

    const QString convert = folder + "/convert";
    for (const char* sub : {"input/bmp", "input/wav", "input/xml", "output/contents/jp",
                            "output/contents/en", "output/query", "output/title", "output/SD"})
        QDir().mkpath(convert + "/" + sub);

    const SampleWork works[] = {
        {"池に浮かぶ睡蓮の絵です。", "Water lilies on a pond.", QColor(40, 90, 160)},
        {"考える人の像です。", "A thinking man in bronze.", QColor(150, 60, 40)},
        {"夜の見張りを描いた絵です。", "The night watch of a city.", QColor(60, 120, 60)},
    };
    const char* codes[] = {"jp", "en"};
    MissingFiles files;
    bool ok = true;
    ContentRecords records;
    for (int language = 0; language < 2; ++language)
    {
        const QString code = QString(codes[language]).toUpper();
        const QString data = QString("%1/output/contents/%2").arg(convert, codes[language]);
        // Data files of the author's own conversion are never mixed with the sample's.
        const bool converted =
            !Path::Find(Path::Resolve(data), "C" + code + "?????.bin", Path::FindFilesOnly)
                 .isEmpty();
        for (int w = 0; w < 3; ++w)
        {
            const QString stem = QString("work%1_%2").arg(w + 1).arg(codes[language]);
            const QString picture = convert + "/input/bmp/" + stem + ".bmp";
            const QString voice = convert + "/input/wav/" + stem + ".wav";
            const QString text =
                QString::fromUtf8(language == 0 ? works[w].japanese : works[w].english);
            ok = files.Write(picture, SampleData::WorkPicture(QString("%1 %2").arg(w + 1).arg(code),
                                                              works[w].colour)) &&
                 ok;
            ok = files.Write(voice, SampleData::Voice(1.5, 330.0 + 110.0 * w)) && ok;
            if (!converted)
                ok = files.Write(
                         QString("%1/C%2%3.bin").arg(data, code).arg(w + 1, 5, 10, QChar('0')),
                         Standin::ContentDataFile(w + 1, text)) &&
                     ok;
            ContentRecord record;
            record.nLangType = language;
            record.nProductNo = w + 1;
            record.nProductImgCnt = 1;
            record.strProductImg1 = picture;
            record.strProductWav = voice;
            record.strProductTxt = text;
            record.strProductCmt = QString::fromUtf8(works[w].english).section(' ', 0, 1);
            records.push_back(record);
        }
        // A picture and a voice that no work uses yet, for the work the README's walk adds.
        const QString spare = QString("work4_%1").arg(codes[language]);
        ok =
            files.Write(convert + "/input/bmp/" + spare + ".bmp",
                        SampleData::WorkPicture(QString("4 %1").arg(code), QColor(200, 160, 30))) &&
            ok;
        ok = files.Write(convert + "/input/wav/" + spare + ".wav", SampleData::Voice(1.5, 660.0)) &&
             ok;
        ok = files.Write(QString("%1/input/bmp/title_%2.bmp").arg(convert, codes[language]),
                         SampleData::TitlePicture(language == 0 ? QString::fromUtf8("音声ガイド")
                                                                : QString("Audio guide"),
                                                  QColor(30, 60, 120))) &&
             ok;
    }
    if (!ok)
    {
        std::fprintf(stderr, "quorvane_sample: cannot write below %s\n", qPrintable(folder));
        return 1;
    }

    COstrelinDoc document;
    document.OnNewDocument();
    document.SetDefaultXmlPaths(project);
    const QString xml = document.GetBindData().m_strContentXml;
    if (!QFileInfo::exists(xml) && !CXmlContentDumFile().Save(xml, records))
        return 1;
    if (!existing && !SaveProject(document, folder, project))
    {
        std::fprintf(stderr, "quorvane_sample: cannot write %s\n", qPrintable(project));
        return 1;
    }
    if (existing && files.Written() > 0)
        std::printf("Sample project repaired: %d missing files written again\n", files.Written());

    // The hub's Open dialog starts at the last project; a first run lands on the sample.
    Profile profile(Strings::Load(IDS_APP_TITLE));
    const QString section = Strings::Load(IDS_PROFILE_SETTINGS);
    const QString key = Strings::Load(IDS_PROFILE_PROJECT_FILE);
    if (profile.GetString(section, key, QString()).isEmpty())
        profile.WriteString(section, key, project);
    std::printf("Sample project: %s\n", qPrintable(project));
    return 0;
}
