// The content and questionnaire scans over converted files in the project tree.
#include "Ostrelin/ContentFixtures.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/res/resource.h"
#include "common/TestSupport.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{
using ContentFixtures::MakeContentBin;
using ContentFixtures::WriteContentBin;
using ContentFixtures::WriteQueryBin;
using ContentFixtures::WriteWork;
using TestSupport::NewFolder;

// The first `size` bytes of a regular file, zero-filled beyond its end.
std::optional<QByteArray> ReadWholeFile(const QString& path, qsizetype size = kContentHeaderSize)
{
    return Path::ReadFileHead(path, size);
}

// One work's header read on its own, the path made from the string table: the oracle of the
// reader that serves many works.
std::optional<QByteArray> LoadContentBin(const QString& projectFolder, int language, qint32 fileNo)
{
    const QString code = GetLanguageCode(language);
    const QString relative = FormatString(IDS_CONTENT_FILE, {code, code, fileNo});
    return ReadWholeFile(QDir::cleanPath(FormatString(IDS_PATH_JOIN, {projectFolder, relative})));
}

class BindModelScanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(OstrelinStringsJA());
        project = NewFolder(QStringLiteral("scan"));
    }

    const CWork* Work(qint32 workNo) const { return doc.GetBindData().FindWork(workNo); }

    QString project;
    COstrelinDoc doc;
};

TEST_F(BindModelScanTest, OneWorkInTwoLanguages)
{
    WriteWork(project, QStringLiteral("JP"), 1, 7, QStringLiteral("仏像"));
    WriteWork(project, QStringLiteral("EN"), 1, 7, QStringLiteral("Buddha"));
    doc.ScanContentFiles(project);
    const CBindData& d = doc.GetBindData();
    ASSERT_EQ(d.m_mapWorks.size(), 1u);
    const CWork* work = Work(7);
    ASSERT_NE(work, nullptr);
    EXPECT_EQ(work->m_nFileNo, 1);
    EXPECT_EQ(work->m_wLanguages, 0x0003);
    EXPECT_EQ(work->m_strDescription[0], u"仏像");
    EXPECT_EQ(work->m_strDescription[1], u"Buddha");
    EXPECT_EQ(d.m_wContentLanguages, 0x0003);
}

TEST_F(BindModelScanTest, FirstFileNumberWins)
{
    WriteWork(project, QStringLiteral("JP"), 1, 7, QStringLiteral("a"));
    WriteWork(project, QStringLiteral("EN"), 2, 7, QStringLiteral("b"));
    WriteWork(project, QStringLiteral("FR"), 3, 8, QStringLiteral("c"));
    // Two files of one language for work 9: the first in name order counts.
    WriteWork(project, QStringLiteral("DU"), 12, 9, QStringLiteral("first"));
    WriteWork(project, QStringLiteral("DU"), 40, 9, QStringLiteral("second"));
    doc.ScanContentFiles(project);
    EXPECT_EQ(Work(7)->m_nFileNo, 1);
    EXPECT_EQ(Work(7)->m_wLanguages, 0x0001);
    EXPECT_TRUE(Work(7)->m_strDescription[1].isEmpty());
    EXPECT_EQ(Work(8)->m_wLanguages, 0x0004);
    EXPECT_EQ(Work(9)->m_nFileNo, 12);
    EXPECT_EQ(Work(9)->m_strDescription[8], u"first");
    // English came only with work 7's other file number.
    EXPECT_EQ(doc.GetBindData().m_wContentLanguages, 0x0105);
}

TEST_F(BindModelScanTest, NamesOutsideTheRuleAreSkipped)
{
    const QByteArray work = MakeContentBin(7, QStringLiteral("x"));
    const char* skipped[] = {"CJP1.bin",     "CJP000001.bin", "CJPabcde.bin", "CJP0001a.bin",
                             "CJP00000.bin", "CJP10001.bin",  "CJP 0001.bin", "CEN00001.bin",
                             "XJP00001.bin", "CJP00001.bak"};
    for (const char* name : skipped)
        WriteContentBin(project, QStringLiteral("jp"), QString::fromLatin1(name), work);
    doc.ScanContentFiles(project);
    EXPECT_TRUE(doc.GetBindData().m_mapWorks.empty());

    // The same bytes under a good name, in any letter case, are taken.
    WriteContentBin(project, QStringLiteral("jp"), QStringLiteral("cjp00042.BIN"), work);
    doc.ScanContentFiles(project);
    ASSERT_NE(Work(7), nullptr);
    EXPECT_EQ(Work(7)->m_nFileNo, 42);
}

TEST_F(BindModelScanTest, WorkNumbersTheModelRefuses)
{
    struct Case
    {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"work 0", MakeContentBin(0, QStringLiteral("a"))},
        {"work 10001", MakeContentBin(10001, QStringLiteral("a"))},
        {"negative work", MakeContentBin(0xFFFFFFFFu, QStringLiteral("a"))},
        {"ends before the work number",
         QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", 12)},
        {"empty", QByteArray()},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const QString folder = NewFolder(QStringLiteral("refused"));
        WriteContentBin(folder, QStringLiteral("en"), QStringLiteral("CEN00001.bin"), c.bytes);
        doc.ScanContentFiles(folder);
        EXPECT_TRUE(doc.GetBindData().m_mapWorks.empty());
    }
}

TEST_F(BindModelScanTest, DescriptionsAreEightyUnitsAtMost)
{
    const QString eighty(80, QChar(u'字'));
    QByteArray exact = MakeContentBin(1, eighty);
    QByteArray longer = MakeContentBin(2, eighty);
    // Past unit 80 the file goes on with more text and no terminator.
    for (int i = 0; i < 10; ++i)
        qToLittleEndian(quint16(u'X'), longer.data() + 0x24 + 160 + 2 * i);
    QByteArray shortText = MakeContentBin(3, QStringLiteral("abc"));
    // A short file ending inside the description: the rest reads as zero.
    QByteArray cut = MakeContentBin(4, QStringLiteral("abcdef")).left(0x24 + 6);
    WriteContentBin(project, QStringLiteral("en"), QStringLiteral("CEN00001.bin"), exact);
    WriteContentBin(project, QStringLiteral("en"), QStringLiteral("CEN00002.bin"), longer);
    WriteContentBin(project, QStringLiteral("en"), QStringLiteral("CEN00003.bin"), shortText);
    WriteContentBin(project, QStringLiteral("en"), QStringLiteral("CEN00004.bin"), cut);
    doc.ScanContentFiles(project);
    EXPECT_EQ(Work(1)->m_strDescription[1], eighty);
    EXPECT_EQ(Work(2)->m_strDescription[1], eighty);
    EXPECT_EQ(Work(3)->m_strDescription[1], u"abc");
    EXPECT_EQ(Work(4)->m_strDescription[1], u"abc");
}

TEST_F(BindModelScanTest, UnreadableEntriesAreSkipped)
{
    WriteWork(project, QStringLiteral("JP"), 1, 1, QStringLiteral("good"));
    const QString folder = project + QStringLiteral("/convert/output/contents/jp");
    QDir().mkpath(folder + QStringLiteral("/CJP00002.bin"));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder + QStringLiteral("/CJP00003.bin")).constData(), 0600),
              0);
    const QString locked = WriteWork(project, QStringLiteral("JP"), 4, 4, QStringLiteral("x"));
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const bool lockedReadable = QFile(locked).open(QIODevice::ReadOnly);
    doc.ScanContentFiles(project);
    ASSERT_NE(Work(1), nullptr);
    EXPECT_EQ(doc.GetBindData().m_mapWorks.size(), lockedReadable ? 2u : 1u);
    EXPECT_EQ(LoadContentBin(project, 0, 2), std::nullopt);
    EXPECT_EQ(LoadContentBin(project, 0, 3), std::nullopt);
}

TEST_F(BindModelScanTest, VanishedLanguageLeavesTheMasks)
{
    CBindData& d = doc.GetBindData();
    WriteWork(project, QStringLiteral("JP"), 1, 1, QStringLiteral("a"));
    const QString fr = WriteWork(project, QStringLiteral("FR"), 1, 1, QStringLiteral("b"));
    doc.ScanContentFiles(project);
    d.m_wGuideLanguages = 0x0005;
    d.m_wTitleLanguages = 0x0005;
    QFile::remove(fr);
    doc.ScanContentFiles(project);
    EXPECT_EQ(d.m_wContentLanguages, 0x0001);
    EXPECT_EQ(d.m_wGuideLanguages, 0x0001);
    EXPECT_EQ(d.m_wTitleLanguages, 0x0001);
    EXPECT_EQ(Work(1)->m_wLanguages, 0x0001);
}

TEST_F(BindModelScanTest, ScanLeavesGuidesAndServers)
{
    CBindData& d = doc.GetBindData();
    d.AddGuide(3, 7);
    d.AddServer(QStringLiteral("AAAAA"));
    WriteWork(project, QStringLiteral("JP"), 1, 8, QStringLiteral("a"));
    doc.ScanContentFiles(project);
    EXPECT_NE(d.FindGuide(3), nullptr);
    EXPECT_NE(d.FindServer(QStringLiteral("AAAAA")), nullptr);
    EXPECT_EQ(d.m_mapWorks.size(), 1u);
}

TEST_F(BindModelScanTest, QuestionnaireLanguages)
{
    WriteQueryBin(project, QStringLiteral("JP"));
    WriteQueryBin(project, QStringLiteral("fr"));
    WriteQueryBin(project, QStringLiteral("XX"));
    doc.GetBindData().m_wQueryLanguages = 0x0100;
    doc.ScanQueryLanguages(project);
    EXPECT_EQ(doc.GetBindData().m_wQueryLanguages, 0x0005);
}

TEST_F(BindModelScanTest, LoadContentBinReadsTheHeaderZeroFilled)
{
    const QByteArray bytes = MakeContentBin(7, QStringLiteral("a"), 0x20);
    WriteContentBin(project, QStringLiteral("en"), QStringLiteral("CEN00005.bin"), bytes);
    const std::optional<QByteArray> header = LoadContentBin(project, 1, 5);
    ASSERT_TRUE(header.has_value());
    ASSERT_EQ(header->size(), kContentHeaderSize);
    EXPECT_EQ(header->left(0x20), bytes);
    EXPECT_EQ(header->mid(0x20), QByteArray(kContentHeaderSize - 0x20, '\0'));
    EXPECT_EQ(LoadContentBin(project, 1, 6), std::nullopt);
    EXPECT_EQ(LoadContentBin(project, 0, 5), std::nullopt);

    const QString plain = TestSupport::WriteFile(project + QStringLiteral("/x.bin"), "abc");
    const std::optional<QByteArray> whole = ReadWholeFile(plain, 8);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(*whole, QByteArray("abc\0\0\0\0\0", 8));
    EXPECT_EQ(ReadWholeFile(project + QStringLiteral("/missing.bin")), std::nullopt);
    EXPECT_EQ(ReadWholeFile(project), std::nullopt);
}

TEST_F(BindModelScanTest, ContentBinReaderReadsWhatLoadContentBinReads)
{
    // Folders and names in several letter cases, a folder where a file should be, a missing
    // language folder and file numbers outside five digits.
    WriteContentBin(project, QStringLiteral("en"), QStringLiteral("CEN00005.bin"),
                    MakeContentBin(5, QStringLiteral("five"), 0x40));
    WriteContentBin(project, QStringLiteral("en"), QStringLiteral("cen00006.BIN"),
                    MakeContentBin(6, QStringLiteral("six"), 0x40));
    WriteContentBin(project, QStringLiteral("JP"), QStringLiteral("CJP00005.bin"),
                    MakeContentBin(7, QStringLiteral("seven"), 0x20));
    WriteContentBin(project, QStringLiteral("JP"), QStringLiteral("CJP100000.bin"),
                    MakeContentBin(8, QStringLiteral("big"), 0x20));
    QDir().mkpath(project + QStringLiteral("/convert/output/contents/JP/CJP00009.bin"));
    CContentBinReader reader(project);
    for (const int language : {0, 1, 2, 8})
    {
        for (const qint32 fileNo : {5, 6, 7, 9, 100000, 0, -5})
        {
            SCOPED_TRACE(testing::Message() << language << " " << fileNo);
            EXPECT_EQ(reader.Load(language, fileNo), LoadContentBin(project, language, fileNo));
        }
    }
    EXPECT_TRUE(reader.Load(1, 6).has_value());
    EXPECT_TRUE(reader.Load(0, 100000).has_value());
    EXPECT_FALSE(reader.Load(0, 9).has_value());
}

// Files as the content editor's converter writes them: one run per language into the
// lower-case folders, numbered from 1 in the order of the records.
TEST_F(BindModelScanTest, FilesWrittenByTheConverter)
{
    const QString marvex = TestSupport::StandinFolder() + QStringLiteral("/marvex");
    if (!QFile::exists(marvex))
        GTEST_SKIP() << "converter stand-in not built";
    struct Record
    {
        int work;
        const char16_t* text;
    };
    const auto convert = [&](const QString& code, std::initializer_list<Record> records)
    {
        QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<ContentBody>\n");
        for (const Record& r : records)
            xml += QStringLiteral("<ContentInfo><nProductNo>%1</nProductNo>"
                                  "<strProductTxt>%2</strProductTxt></ContentInfo>\n")
                       .arg(r.work)
                       .arg(QString::fromUtf16(r.text));
        xml += QStringLiteral("</ContentBody>\n");
        const QString out = project + QStringLiteral("/convert/output/contents/") + code;
        QDir().mkpath(out);
        const QString input = TestSupport::WriteFile(out + QStringLiteral("/in.xml"), xml.toUtf8());
        QProcess process;
        process.start(marvex, {QStringLiteral("-i"), input, QStringLiteral("-opath"), out,
                               QStringLiteral("-binpath"), project});
        ASSERT_TRUE(process.waitForFinished(30000));
    };
    convert(QStringLiteral("jp"), {{7, u"壺"}, {3, u"皿"}});
    convert(QStringLiteral("en"), {{7, u"Jar"}});
    doc.ScanContentFiles(project);
    const CBindData& d = doc.GetBindData();
    ASSERT_EQ(d.m_mapWorks.size(), 2u);
    EXPECT_EQ(Work(7)->m_nFileNo, 1);
    EXPECT_EQ(Work(7)->m_wLanguages, 0x0003);
    EXPECT_EQ(Work(7)->m_strDescription[1], u"Jar");
    EXPECT_EQ(Work(3)->m_nFileNo, 2);
    EXPECT_EQ(Work(3)->m_wLanguages, 0x0001);
    EXPECT_EQ(Work(3)->m_strDescription[0], u"皿");
}
} // namespace
