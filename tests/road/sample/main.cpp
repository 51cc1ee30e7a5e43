// Creates the sample project that `make run` opens: a project file with three works in
// Japanese and English, their pictures and voices, the content file, the content data files
// as the converter leaves them, title pictures, guide numbers, languages and two servers.
// Called as: quorvane_sample <folder>. An existing sample is left as it is.
#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/res/resource.h"
#include "TOVKContEdit/shared/XmlContentDumFile.h"
#include "platform/Profile.h"
#include "platform/Strings.h"
#include "road/sample/SampleData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

namespace
{
struct SampleWork
{
    const char* japanese;
    const char* english;
    QColor colour;
};

bool Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A content data file as the converter writes it: the work number at 0x0C and the start of
// the description (UTF-16LE) at 0x24, in a header of 0xC4 bytes.
QByteArray ContentData(int work, const QString& description)
{
    QByteArray bytes(kContentHeaderSize, '\0');
    bytes.replace(0, 4, "CBIN");
    for (int b = 0; b < 4; ++b)
        bytes[0x0C + b] = char((work >> (8 * b)) & 0xFF);
    for (int u = 0; u < qMin<qsizetype>(80, description.size()); ++u)
    {
        bytes[0x24 + 2 * u] = char(description.at(u).unicode() & 0xFF);
        bytes[0x24 + 2 * u + 1] = char(description.at(u).unicode() >> 8);
    }
    return bytes;
}
} // namespace

int main(int argc, char** argv)
{
    // Pictures are drawn off screen; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: quorvane_sample <folder>\n");
        return 1;
    }
    Strings::Install(OstrelinStringsJA());
    const QString folder = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString project = folder + "/GuideData.olx";
    if (QFileInfo::exists(project))
        return 0;

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
    ContentRecords records;
    for (int w = 0; w < 3; ++w)
        for (int language = 0; language < 2; ++language)
        {
            const QString stem = QString("work%1_%2").arg(w + 1).arg(codes[language]);
            const QString picture = convert + "/input/bmp/" + stem + ".bmp";
            const QString voice = convert + "/input/wav/" + stem + ".wav";
            const QString text =
                QString::fromUtf8(language == 0 ? works[w].japanese : works[w].english);
            bool ok = Write(picture, SampleData::WorkPicture(
                                         QString("%1 %2").arg(w + 1).arg(codes[language]).toUpper(),
                                         works[w].colour));
            ok = Write(voice, SampleData::Voice(1.5, 330.0 + 110.0 * w)) && ok;
            ok = Write(QString("%1/output/contents/%2/C%3%4.bin")
                           .arg(convert, codes[language], QString(codes[language]).toUpper())
                           .arg(w + 1, 5, 10, QChar('0')),
                       ContentData(w + 1, text)) &&
                 ok;
            if (!ok)
            {
                std::fprintf(stderr, "quorvane_sample: cannot write below %s\n",
                             qPrintable(folder));
                return 1;
            }
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
    for (int language = 0; language < 2; ++language)
        Write(QString("%1/input/bmp/title_%2.bmp").arg(convert, codes[language]),
              SampleData::TitlePicture(language == 0 ? QString::fromUtf8("音声ガイド")
                                                     : QString("Audio guide"),
                                       QColor(30, 60, 120)));

    COstrelinDoc document;
    document.OnNewDocument();
    document.SetDefaultXmlPaths(project);
    CXmlContentDumFile xml;
    if (!xml.Save(document.GetBindData().m_strContentXml, records))
        return 1;
    document.ScanContentFiles(folder);

    CBindData& data = document.GetBindData();
    data.m_nDisplayLanguage = 0;
    data.m_wGuideLanguages = 0x0003;
    data.m_wTitleLanguages = 0x0002;
    data.m_strTitleImage[1] = convert + "/input/bmp/title_en.bmp";
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
    if (!document.OnSaveDocument(project))
    {
        std::fprintf(stderr, "quorvane_sample: cannot write %s\n", qPrintable(project));
        return 1;
    }

    // The hub's Open dialog starts at the last project; a first run lands on the sample.
    Profile profile(Strings::Load(IDS_APP_TITLE));
    const QString section = Strings::Load(IDS_PROFILE_SETTINGS);
    const QString key = Strings::Load(IDS_PROFILE_PROJECT_FILE);
    if (profile.GetString(section, key, QString()).isEmpty())
        profile.WriteString(section, key, project);
    std::printf("Sample project: %s\n", qPrintable(project));
    return 0;
}
