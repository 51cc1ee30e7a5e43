// Writes content files into the fuzz corpus folder in the layout Save writes, so that
// fuzzing starts on the reader's short way and its comparison with the general reader: a
// few records (texts with markup, quotes, line breaks and Japanese), and an empty body.
#include "TOVKContEdit/shared/XmlContentDumFile.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 1;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    ContentRecord first;
    first.nLangType = 0;
    first.nProductNo = 1;
    first.nProductImgCnt = 2;
    first.strProductImg1 = QStringLiteral("/guide/bmp/w1a.bmp");
    first.strProductImg2 = QStringLiteral("/guide/bmp/w1b.bmp");
    first.strProductWav = QStringLiteral("/guide/wav/w1.wav");
    first.strProductTxt = QStringLiteral("\u7761\u84ee\r\n\u30e2\u30cd");
    first.strProductCmt = QStringLiteral("first");
    ContentRecord second = first;
    second.nLangType = 1;
    second.nProductNo = 10000;
    second.nProductImgCnt = 1;
    second.strProductImg2.clear();
    second.strProductTxt = QStringLiteral("Water <Lilies> & \"more\" ]]\tend");
    second.strProductCmt.clear();

    const std::pair<const char*, ContentRecords> seeds[] = {
        {"seed-records", {first, second}},
        {"seed-empty", {}},
    };
    for (const auto& [name, records] : seeds)
    {
        QString error;
        if (!CXmlContentDumFile::SaveDocument(folder + u'/' + QLatin1String(name),
                                              CXmlContentDumFile::BuildDocument(records), error))
            return 1;
    }
    return 0;
}
