// The XML content file: the bytes written, what a load accepts, and round trips.
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/shared/XmlContentDumFile.h"
#include "common/TestSupport.h"
#include "platform/AtomicFile.h"
#include "platform/RecordingMessages.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <new>
#include <sys/resource.h>
#include <unistd.h>

namespace
{
QByteArray Utf16(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

QString Wrap(const QString& infos)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<ContentBody>") + infos +
           QStringLiteral("</ContentBody>");
}

QString Info(const QString& lang, const QString& number, const QString& txt = "\"\"",
             const QString& cmt = "\"\"")
{
    return QStringLiteral("<ContentInfo><nLangType>%1</nLangType><nProductNo>%2</nProductNo>"
                          "<nProductImgCnt>2</nProductImgCnt><strProductImg1>/i/a.bmp"
                          "</strProductImg1><strProductImg2/><strProductWav/>"
                          "<strProductTxt>%3</strProductTxt><strProductCmt>%4</strProductCmt>"
                          "</ContentInfo>")
        .arg(lang, number, txt, cmt);
}

ContentRecord Record(int lang, int number)
{
    ContentRecord r;
    r.nLangType = lang;
    r.nProductNo = number;
    r.nProductImgCnt = 2;
    r.strProductImg1 = "/p/img/a 1.bmp";
    r.strProductWav = "/p/wav/a.wav";
    r.strProductTxt = "line one\r\nline two";
    r.strProductCmt = "note";
    return r;
}

class XmlContentTest : public ::testing::Test
{
protected:
    void SetUp() override { Strings::Install(ContEditStringsEN()); }
    QString folder = TestSupport::NewFolder("xml");
    CXmlContentDumFile file;
    RecordingMessages messages;
};

TEST_F(XmlContentTest, WritesTheIndentedUtf16Layout)
{
    ContentRecord r;
    r.nLangType = 1;
    r.nProductNo = 12;
    r.nProductImgCnt = 2;
    r.strProductImg1 = "/p/a.bmp";
    r.strProductTxt = "a & <b>";
    const QString path = folder + "/out.xml";
    ASSERT_TRUE(file.Save(path, {r}));

    const QString expected =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>\r\n"
                       "<ContentBody>\r\n"
                       "\t<ContentInfo>\r\n"
                       "\t\t<nLangType>1</nLangType>\r\n"
                       "\t\t<nProductNo>12</nProductNo>\r\n"
                       "\t\t<nProductImgCnt>2</nProductImgCnt>\r\n"
                       "\t\t<strProductImg1>/p/a.bmp</strProductImg1>\r\n"
                       "\t\t<strProductImg2/>\r\n"
                       "\t\t<strProductWav/>\r\n"
                       "\t\t<strProductTxt>\"a &amp; &lt;b&gt;\"</strProductTxt>\r\n"
                       "\t\t<strProductCmt>\"\"</strProductCmt>\r\n"
                       "\t</ContentInfo>\r\n"
                       "</ContentBody>\r\n");
    EXPECT_EQ(TestSupport::ReadFile(path), Utf16(expected));
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(XmlContentTest, EmptyRecordListWritesOnlyTheRoot)
{
    const QString path = folder + "/empty.xml";
    ASSERT_TRUE(file.Save(path, {}));
    ContentRecords back{Record(0, 1)};
    EXPECT_TRUE(file.Load(path, back));
    EXPECT_TRUE(back.empty());
}

TEST_F(XmlContentTest, RoundTripKeepsEveryField)
{
    ContentRecord quoted = Record(8, 10000);
    quoted.strProductCmt = "\"quoted\""; // a second pair goes around it
    quoted.strProductTxt = "";           // written as two quotes
    ContentRecord special = Record(0, 3);
    special.strProductTxt = "日本語 & \"x\" <tag> \t tab";
    special.strProductImg2 = "/p/ü/b.bmp";
    const ContentRecords records{Record(0, 1), Record(1, 1), quoted, special};
    const QString path = folder + "/rt.xml";
    ASSERT_TRUE(file.Save(path, records));

    ContentRecords back;
    ASSERT_TRUE(file.Load(path, back));
    ASSERT_EQ(back.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
    {
        SCOPED_TRACE(i);
        ContentRecord expected = records[i];
        // XML reading turns CR LF into LF; the document puts the CR back.
        expected.strProductTxt.replace("\r\n", "\n");
        EXPECT_EQ(back[i], expected);
    }
}

TEST_F(XmlContentTest, CharactersXmlCannotCarryAreReplacedSoTheFileStillLoads)
{
    ContentRecord r = Record(0, 1);
    r.strProductTxt = QString("a") + QChar(0x01) + "b" + QChar(0xD800) + "c";
    r.strProductCmt = QString("x") + QChar(0x1F);
    const QString path = folder + "/ctl.xml";
    ASSERT_TRUE(file.Save(path, {r}));
    ContentRecords back;
    ASSERT_TRUE(file.Load(path, back));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].strProductTxt, QString("a") + QChar(0xFFFD) + "b" + QChar(0xFFFD) + "c");
    EXPECT_EQ(back[0].strProductCmt, QString("x") + QChar(0xFFFD));
}

TEST_F(XmlContentTest, SaveWritesTheBytesOfTheDocumentTree)
{
    // Save goes without the tree; the bytes must be those the tree gives.
    ContentRecord awkward = Record(3, -7);
    awkward.strProductImg1 = QString("/p/") + QChar(0xD83C) + QChar(0xDFB5) + "&<>\"'.bmp";
    awkward.strProductImg2 = QString("lone ") + QChar(0xDC00) + QChar(0xFFFE) + QChar(0x01);
    awkward.strProductTxt = "\"\"\t\r\n]]>\n";
    awkward.strProductCmt = QString(QChar(0xFEFF)) + "bom";
    ContentRecord blank;
    const QList<ContentRecords> cases = {{}, {Record(0, 1)}, {awkward, blank, Record(8, 10000)}};
    for (const ContentRecords& records : cases)
    {
        SCOPED_TRACE(records.size());
        const QString viaTree = folder + "/tree.xml";
        const QString direct = folder + "/direct.xml";
        QString error;
        ASSERT_TRUE(CXmlContentDumFile::SaveDocument(
            viaTree, CXmlContentDumFile::BuildDocument(records), error));
        ASSERT_TRUE(CXmlContentDumFile::SaveRecords(direct, records, error));
        EXPECT_EQ(TestSupport::ReadFile(direct), TestSupport::ReadFile(viaTree));
    }
}

TEST_F(XmlContentTest, TheShortWayReadsWhatTheGeneralReaderReads)
{
    // Files close to the layout Save writes, each a step off it somewhere: both readers must
    // agree on acceptance and on every field.
    const QString declaration = "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>";
    const auto saved = [&](const QString& txt, const QString& img = "/i/a.bmp")
    {
        return declaration +
               "\r\n<ContentBody>\r\n\t<ContentInfo>\r\n"
               "\t\t<nLangType>1</nLangType>\r\n\t\t<nProductNo>42</nProductNo>\r\n"
               "\t\t<nProductImgCnt>2</nProductImgCnt>\r\n"
               "\t\t<strProductImg1>" +
               img +
               "</strProductImg1>\r\n\t\t<strProductImg2/>\r\n\t\t<strProductWav/>\r\n"
               "\t\t<strProductTxt>" +
               txt +
               "</strProductTxt>\r\n\t\t<strProductCmt>\"\"</strProductCmt>\r\n"
               "\t</ContentInfo>\r\n</ContentBody>\r\n";
    };
    const QString longRun = QString(37, u'x');
    const QStringList texts = {
        "\"plain\"",
        "\"a\r\nb\rc\n\r\nd\"",
        "\"\r",
        longRun + "\r\n" + longRun + "\r" + longRun,
        "\"&amp;&lt;&gt;&quot;&apos;\"",
        "&#65;&#x42;",
        "&amp",
        "&unknown;",
        longRun + "]" + longRun + "]]" + longRun,
        longRun + "]]>",
        longRun + "<![CDATA[c]]>",
        longRun + "<!--c-->",
        longRun + "<b>nested</b>",
        QString(QChar(0xFEFF)) + "leading mark",
        longRun + QChar(0xD83C) + QChar(0xDFB5) + longRun,
        longRun + QChar(0xD83C) + "x",
        longRun + QChar(0xDFB5),
        longRun + QChar(0xFFFE),
        longRun + QChar(0xFFFD) + QChar(0xE000) + QChar(0xFF01),
        longRun + QChar(0x01),
        longRun + QChar(0x00),
        "\t \t",
        "",
    };
    QList<QString> files;
    for (const QString& text : texts)
        files << saved(text);
    files << saved("x", "/i/a.bmp</strProductImg1><strProductImg1>/i/second.bmp")
          << saved("x", "</strProductImg1><nProductNo>7</nProductNo><strProductImg1>")
          << QString(saved("x")).replace("<nLangType>1</nLangType>", "<other/>")
          << QString(saved("x"))
                 .replace("<nLangType>1</nLangType>", "<nLangType a=\"1\">1</nLangType>")
          << QString(saved("x")).replace("<nLangType>", "<nLangType >")
          << QString(saved("x")).replace("\t\t<nLangType>", "text<nLangType>")
          << QString(saved("x")).replace("<ContentInfo>", "<ContentInfo/><ContentInfo>")
          << QString(saved("x")).replace("<strProductWav/>", "<strProductWav></strProductWav>")
          << QString(saved("x")).replace("</nProductNo>", "</nProductNO>")
          << QString(saved("x")).replace(declaration, "<?xml version=\"1.0\" encoding=\"UTF-16\"?>")
          << QString(saved("x")).replace(declaration, "<?xml version=\"1.0\"?>")
          << QString(saved("x")).remove(declaration + "\r\n") << " " + saved("x")
          << saved("x") + "<!--end-->" << saved("x") + "x" << saved("x").chopped(5)
          << declaration + "<ContentBody/>" << declaration + "<ContentBody></ContentBody>"
          << declaration + "<ContentInfo/>";
    for (const QString& text : files)
    {
        SCOPED_TRACE(text.toStdString());
        ContentRecords shortWay{Record(0, 1)};
        ContentRecords general{Record(0, 1)};
        const QByteArray bytes = Utf16(text);
        EXPECT_EQ(file.LoadBytes(bytes, shortWay), file.LoadAnyLayout(bytes, general));
        EXPECT_EQ(shortWay, general);
    }
}

TEST_F(XmlContentTest, ReadsFieldsTheWayTheFormatDefines)
{
    struct Case
    {
        const char* name;
        QString body;
        int lang, number;
        QString txt, cmt;
    };
    const QList<Case> cases = {
        {"letters read as 0", Info("1", "abc"), 1, 0, "", ""},
        {"leading digits count", Info(" 2", "12abc"), 2, 12, "", ""},
        {"overflow reads as 0", Info("1", "99999999999"), 1, 0, "", ""},
        {"int limits", Info("-2147483648", "2147483647"), INT_MIN, INT_MAX, "", ""},
        {"negative", Info("-1", "-5"), -1, -5, "", ""},
        {"one pair of quotes off", Info("0", "1", "\"\"x\"\"", "\"c\""), 0, 1, "\"x\"", "c"},
        {"unquoted kept", Info("0", "1", "plain", "\"half"), 0, 1, "plain", "\"half"},
        {"a lone quote kept", Info("0", "1", "\"", "\"\""), 0, 1, "\"", ""},
        {"missing elements", "<ContentInfo><strProductTxt>\"t\"</strProductTxt></ContentInfo>", 0,
         0, "t", ""},
        {"first of a name wins, at any depth",
         "<ContentInfo><x><nProductNo>7</nProductNo></x><nProductNo>8</nProductNo>"
         "<nLangType>3<b>4</b></nLangType></ContentInfo>",
         34, 7, "", ""},
        {"CDATA and entities", Info("0", "<![CDATA[4]]>1", "\"&lt;&#x41;&gt;\""), 0, 41, "<A>", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ContentRecords back;
        ASSERT_TRUE(file.LoadBytes(Utf16(Wrap(c.body)), back));
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(back[0].nLangType, c.lang);
        EXPECT_EQ(back[0].nProductNo, c.number);
        EXPECT_EQ(back[0].strProductTxt, c.txt);
        EXPECT_EQ(back[0].strProductCmt, c.cmt);
    }
}

TEST_F(XmlContentTest, EveryContentInfoBelowTheRootIsARecordInDocumentOrder)
{
    // The outer record sees the inner one's fields below it too.
    const QString body = QStringLiteral(
        "<ContentInfo><nProductNo>1</nProductNo>"
        "<group><ContentInfo><nLangType>5</nLangType><nProductNo>2</nProductNo></ContentInfo>"
        "</group></ContentInfo>"
        "<other><ContentInfo><nProductNo>3</nProductNo></ContentInfo></other>"
        "<ContentInfo/>");
    ContentRecords back;
    ASSERT_TRUE(file.LoadBytes(Utf16(Wrap(body)), back));
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[0].nProductNo, 1);
    EXPECT_EQ(back[0].nLangType, 5);
    EXPECT_EQ(back[1].nProductNo, 2);
    EXPECT_EQ(back[2].nProductNo, 3);
    EXPECT_EQ(back[3].nProductNo, 0);
    EXPECT_EQ(back[3].nLangType, 0);
}

TEST_F(XmlContentTest, RefusesWhatIsNotAContentFile)
{
    const QString good = Wrap(Info("0", "1"));
    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    const QList<Case> cases = {
        {"empty", QByteArray()},
        {"binary", QByteArray("\x00\x01\x02\xFF\xFE\x00", 6)},
        {"text", "just some words"},
        {"root ContentInfo", Utf16("<ContentInfo><nProductNo>1</nProductNo></ContentInfo>")},
        {"root of another case", Utf16("<contentbody/>")},
        {"truncated", Utf16(good).left(Utf16(good).size() - 12)},
        {"odd byte count", Utf16(good).left(Utf16(good).size() - 1)},
        {"malformed", Utf16(Wrap("<ContentInfo><nLangType>1</nProductNo></ContentInfo>"))},
        {"second root", Utf16(good + "<ContentBody/>")},
        {"document type", Utf16("<?xml version=\"1.0\"?><!DOCTYPE ContentBody [<!ENTITY a "
                                "\"aaaa\">]><ContentBody>&a;</ContentBody>")},
        {"undeclared entity", Utf16(Wrap(Info("0", "&x;")))},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ContentRecords back{Record(0, 1)};
        EXPECT_FALSE(file.LoadBytes(c.bytes, back));
        EXPECT_TRUE(back.empty());
    }
    ContentRecords back;
    EXPECT_TRUE(file.LoadBytes(Utf16(good), back));
    const QString utf8 = QString(good).replace("UTF-16", "UTF-8");
    EXPECT_TRUE(file.LoadBytes("\xEF\xBB\xBF" + utf8.toUtf8(), back)) << "UTF-8";
}

TEST_F(XmlContentTest, LoadOfMissingOrFolderPathFails)
{
    ContentRecords back{Record(0, 1)};
    EXPECT_FALSE(file.Load(folder + "/none.xml", back));
    EXPECT_TRUE(back.empty());
    EXPECT_FALSE(file.Load(folder, back));
}

TEST_F(XmlContentTest, HugeFileIsRefusedUnread)
{
    // A sparse file: its size says more than the reader takes, its bytes are never read.
    const QString path = folder + "/huge.xml";
    QFile huge(path);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(Utf16(Wrap(Info("0", "1"))));
    ASSERT_TRUE(huge.resize(CXmlContentDumFile::MaxFileSize + 1));
    huge.close();
    ContentRecords back;
    EXPECT_FALSE(file.Load(path, back));
    EXPECT_TRUE(back.empty());
}

TEST_F(XmlContentTest, LoadOfASmallFileNeedsLittleMemory)
{
    // Under an address-space limit well below the largest file a load accepts, a small file
    // still loads: the reader takes room for the bytes the file holds, not for the limit.
    const QString path = TestSupport::WriteFile(folder + "/small.xml", Utf16(Wrap(Info("0", "5"))));
    QFile statm("/proc/self/statm");
    ASSERT_TRUE(statm.open(QIODevice::ReadOnly));
    const qint64 inUse = statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
    if (inUse > (qint64(1) << 40))
        GTEST_SKIP() << "a sanitizer's shadow memory holds the address space";
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
    const rlim_t tight = rlim_t(inUse) + 128u * 1024 * 1024;
    if (old.rlim_cur != RLIM_INFINITY && old.rlim_cur <= tight)
        GTEST_SKIP() << "the address space is limited already";
    rlimit limited = old;
    limited.rlim_cur = tight;
    ASSERT_EQ(setrlimit(RLIMIT_AS, &limited), 0);
    bool loaded = false;
    ContentRecords back;
    try
    {
        loaded = file.Load(path, back);
    }
    catch (const std::bad_alloc&)
    {
    }
    setrlimit(RLIMIT_AS, &old);
    EXPECT_TRUE(loaded);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].nProductNo, 5);
}

TEST_F(XmlContentTest, LoadFindsTheFileWhateverTheLetterCase)
{
    TestSupport::WriteFile(folder + "/Input/XML/Content.xml", Utf16(Wrap(Info("2", "9"))));
    ContentRecords back;
    ASSERT_TRUE(file.Load(folder + "/input/xml/content.XML", back));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].nProductNo, 9);
}

TEST_F(XmlContentTest, SaveThatCannotWriteShowsTheFileInUseMessage)
{
    const QString path = folder + "/missing/sub/out.xml";
    EXPECT_FALSE(file.Save(path, {Record(0, 1)}));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text,
              "The file below is being used by another application.\r\nThe file could not be "
              "saved.\r\n\r\n" +
                  path + "\r\n\r\n" + FileReplacement::ErrorText(ENOENT));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(XmlContentTest, GetChildTextAndAddElement)
{
    QDomDocument doc = CXmlContentDumFile::CreateDocument("Root");
    QDomElement root = doc.documentElement();
    QDomElement empty = CXmlContentDumFile::AddElement(doc, root, "a", "");
    CXmlContentDumFile::AddElement(doc, root, "a", "second");
    EXPECT_FALSE(empty.hasChildNodes());
    EXPECT_EQ(CXmlContentDumFile::GetChildText(root, "a", 0), "");
    EXPECT_EQ(CXmlContentDumFile::GetChildText(root, "a", 1), "second");
    EXPECT_EQ(CXmlContentDumFile::GetChildText(root, "a", 2), "");
    EXPECT_EQ(CXmlContentDumFile::GetChildText(root, "b", 0), "");
    EXPECT_EQ(CXmlContentDumFile::GetChildText(root, "a", -1), "");
    EXPECT_EQ(CXmlContentDumFile::GetChildText(QDomElement(), "a", 0), "");
}
} // namespace

namespace
{
// A save killed at any moment leaves the content file old or new, whole and loadable; what
// the killed saves left beside it goes at the next save.
TEST_F(XmlContentTest, AKilledSaveLeavesTheOldFileOrTheNewOne)
{
    const QString path = folder + "/TOVKContent.xml";
    ContentRecords records(20000, Record(0, 1));
    const auto mark = [&](int round)
    {
        for (std::size_t i = 0; i < records.size(); ++i)
        {
            records[i].nProductNo = int(i) + 1;
            records[i].strProductCmt = QStringLiteral("round %1").arg(round);
        }
    };
    mark(0);
    ASSERT_TRUE(file.Save(path, records));
    int previous = 0;
    bool leftBehind = false;
    for (int round = 1; round <= 25; ++round)
    {
        mark(round);
        TestSupport::KillAtRandomMoment([&] { file.Save(path, records); }, 120);
        leftBehind = leftBehind || QDir(folder).entryList(QDir::Files).size() > 1;
        ContentRecords back;
        ASSERT_TRUE(file.Load(path, back)) << "round " << round;
        ASSERT_EQ(back.size(), records.size());
        const int found = back.front().strProductCmt.mid(6).toInt();
        EXPECT_TRUE(found == previous || found == round) << found;
        EXPECT_EQ(back.back().strProductCmt, back.front().strProductCmt) << "one save, whole";
        previous = found;
    }
    ASSERT_TRUE(file.Save(path, records));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"TOVKContent.xml"});
    if (!leftBehind)
        std::cout << "[   NOTE   ] no kill landed inside a save\n";
}
} // namespace
