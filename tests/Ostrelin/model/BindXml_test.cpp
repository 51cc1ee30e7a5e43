// The two bind files, compared byte for byte with what the bind tool is given.
#include "Ostrelin/ContentFixtures.h"
#include "Ostrelin/model/BindXml.h"
#include "Ostrelin/res/Strings.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>
#include <limits>
#include <set>

namespace
{
using TestSupport::NewFolder;
using TestSupport::ReadFile;

// A file as the XML writer lays it out: BOM, UTF-16LE, CR LF after every line.
QByteArray FileOf(const QStringList& lines)
{
    QString text =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>\r\n");
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

QString Decode(const QByteArray& bytes)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
}

class BindXmlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(OstrelinStringsJA());
        project = NewFolder(QStringLiteral("bindxml"));
        title = project + QStringLiteral("/convert/output/title/");
        contents = project + QStringLiteral("/convert/output/contents/");
        query = project + QStringLiteral("/convert/output/query/");
        file = project + QStringLiteral("/KPGEditor.xml");
    }

    CServer& Server(const QString& name, qint32 role, qint32 channel,
                    std::initializer_list<qint32> guides = {})
    {
        EXPECT_EQ(data.AddServer(name), BindOk);
        CServer& server = *data.FindServer(name);
        server.m_nRole = role;
        server.m_nChannel = channel;
        server.m_setGuides = guides;
        return server;
    }

    // As the output writes it: each row as it is made.
    void SaveInfo()
    {
        CBindInfoWriter writer(file);
        CDiskSpelling spelling;
        for (const auto& server : data.m_listServers)
            AppendServerRows(
                data, *server, contents, query,
                [&writer](const CBindInfoItem& row) { writer.Add(row); }, spelling);
        ASSERT_TRUE(writer.Commit());
    }

    void ExpectFile(const QStringList& lines)
    {
        const QByteArray bytes = ReadFile(file);
        EXPECT_EQ(bytes, FileOf(lines)) << qPrintable(Decode(bytes));
    }

    QString project, title, contents, query, file;
    CBindData data;
};

struct ConfCase
{
    const char* name;
    qint32 display;
    quint16 guides;
    quint16 titles;
    QStringList items; // the lines between <BindConf> and </BindConf>, %T = the title folder
};

TEST_F(BindXmlTest, ConfigurationFileForEachLanguageSetting)
{
    const ConfCase cases[] = {
        {"English shown, Japanese and English guides, English title",
         1,
         0x0003,
         0x0002,
         {"\t<BindConfItem>", "\t\t<strBaseLanguage>EN</strBaseLanguage>",
          "\t\t<strSupportLanguage>JP</strSupportLanguage>", "\t</BindConfItem>",
          "\t<BindConfItem>", "\t\t<strSupportLanguage>EN</strSupportLanguage>",
          "\t\t<strTitleImg>%TREN000.BIN</strTitleImg>", "\t</BindConfItem>"}},
        {"no guide language and no title",
         0,
         0,
         0,
         {"\t<BindConfItem>", "\t\t<strBaseLanguage>JP</strBaseLanguage>", "\t</BindConfItem>"}},
        {"display index outside the languages counts as Japanese",
         12,
         0x0100,
         0,
         {"\t<BindConfItem>", "\t\t<strBaseLanguage>JP</strBaseLanguage>", "\t</BindConfItem>",
          "\t<BindConfItem>", "\t\t<strSupportLanguage>DU</strSupportLanguage>",
          "\t</BindConfItem>"}},
        {"a replaced title outside the guide languages stands alone",
         8,
         0x0001,
         0x0040,
         {"\t<BindConfItem>", "\t\t<strBaseLanguage>DU</strBaseLanguage>",
          "\t\t<strSupportLanguage>JP</strSupportLanguage>", "\t</BindConfItem>",
          "\t<BindConfItem>", "\t\t<strTitleImg>%TRCN000.BIN</strTitleImg>", "\t</BindConfItem>"}},
    };
    for (const ConfCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CLanguageSettings settings;
        settings.m_nDisplayLanguage = c.display;
        settings.m_wGuideLanguages = c.guides;
        // A title picture set in the project does not matter: only the replaced ones count.
        settings.m_wTitleLanguages = 0x01FF;
        ASSERT_TRUE(CXmlBindConfFile().Save(file, BuildBindConfRows(settings, c.titles, title)));
        QStringList lines{"<BindConf>"};
        for (QString line : c.items)
            lines << line.replace(QStringLiteral("%T"), title);
        lines << "</BindConf>";
        ExpectFile(lines);
    }
}

TEST_F(BindXmlTest, TitlePathIsSpeltAsOnDisk)
{
    TestSupport::WriteFile(project + QStringLiteral("/Convert/Output/Title/REN000.BIN"), "R");
    CLanguageSettings settings;
    const BindConfRows rows = BuildBindConfRows(settings, 0x0002, title);
    EXPECT_EQ(rows[1].m_strTitleImg, project + QStringLiteral("/Convert/Output/Title/REN000.BIN"));
    EXPECT_TRUE(rows[0].m_strTitleImg.isEmpty());
}

TEST_F(BindXmlTest, DiskSpellingPrefersTheExactNameThenTheFirstMatch)
{
    // Beside ASCII names alike but for case, names that only match through case folding:
    // the Kelvin sign folds to "k", the long s to "s".
    const QString folder = project + QStringLiteral("/data/");
    for (const char* name : {"A.BIN", "a.bin", "b.Bin", "b.bIN", "Sub/c.bin", "\u00DC.bin",
                             "\u212A1.bin", "k1.BIN", "\u017Fx.bin", "x\u00E9.BIN"})
        TestSupport::WriteFile(folder + QString::fromUtf8(name), "x");
    const std::pair<const char*, QString> cases[] = {
        {"data/a.bin", folder + "a.bin"},
        {"data/A.BIN", folder + "A.BIN"},
        {"DATA/b.bin", folder + "b.Bin"},
        {"data/d.bin", project + "/data/d.bin"},
        {"data/SUB/C.BIN", folder + "Sub/c.bin"},
        {"none/x.bin", project + "/none/x.bin"},
        {"data/\u00FC.BIN", folder + QString::fromUtf8("\u00DC.bin")},
        {"data/K1.bin", folder + "k1.BIN"},
        {"data/\u212A1.bin", folder + QString::fromUtf8("\u212A1.bin")},
        {"data/\u212A1.BIN", folder + "k1.BIN"},
        {"data/SX.BIN", folder + QString::fromUtf8("\u017Fx.bin")},
        {"data/X\u00C9.bin", folder + QString::fromUtf8("x\u00E9.BIN")},
    };
    CDiskSpelling spelling;
    for (const auto& [relative, expected] : cases)
    {
        const QString path = project + u'/' + QString::fromUtf8(relative);
        EXPECT_EQ(spelling.Of(path), expected) << relative;
        EXPECT_EQ(BindFilePath(path), expected) << relative;
    }
}

TEST_F(BindXmlTest, ContentServerRowsRunGuideByGuideThenLanguage)
{
    data.m_wGuideLanguages = 0x0003;
    data.AddWork(12, 100, QStringLiteral("a"), 0x0003);
    data.AddWork(40, 200, QStringLiteral("b"), 0x0003);
    data.AddGuide(3, 100);
    data.AddGuide(5, 200);
    Server(QStringLiteral("A0001"), RoleContents, 7, {3, 5});
    // The converter writes lower-case folders and extensions; those files are named as they
    // are spelt, the missing English ones as the hub spells them.
    ContentFixtures::WriteWork(project, QStringLiteral("JP"), 12, 100, QStringLiteral("a"));
    ContentFixtures::WriteWork(project, QStringLiteral("JP"), 40, 200, QStringLiteral("b"));
    const QString jp = contents + QStringLiteral("jp/");
    const QString en = contents + QStringLiteral("EN/");
    SaveInfo();
    ExpectFile({"<BindBody>",
                "\t<BindInfo>",
                "\t\t<BindInfoItem>",
                "\t\t\t<strName>A0001</strName>",
                "\t\t\t<strRole>CONTENTS</strRole>",
                "\t\t\t<nChannel>7</nChannel>",
                "\t\t\t<strResource>" + jp + "CJP00012.bin</strResource>",
                "\t\t\t<strKind>CONTENTS</strKind>",
                "\t\t\t<nGuideNo>3</nGuideNo>",
                "\t\t</BindInfoItem>",
                "\t\t<BindInfoItem>",
                "\t\t\t<strResource>" + en + "CEN00012.BIN</strResource>",
                "\t\t\t<strKind>CONTENTS</strKind>",
                "\t\t\t<nGuideNo>3</nGuideNo>",
                "\t\t</BindInfoItem>",
                "\t\t<BindInfoItem>",
                "\t\t\t<strResource>" + jp + "CJP00040.bin</strResource>",
                "\t\t\t<strKind>CONTENTS</strKind>",
                "\t\t\t<nGuideNo>5</nGuideNo>",
                "\t\t</BindInfoItem>",
                "\t\t<BindInfoItem>",
                "\t\t\t<strResource>" + en + "CEN00040.BIN</strResource>",
                "\t\t\t<strKind>CONTENTS</strKind>",
                "\t\t\t<nGuideNo>5</nGuideNo>",
                "\t\t</BindInfoItem>",
                "\t</BindInfo>",
                "</BindBody>"});
}

TEST_F(BindXmlTest, ManyGuidesKeepTheOrderOfGuideThenLanguage)
{
    // More rows than are made at a time, with the work's file number in every path.
    data.m_wGuideLanguages = 0x0003;
    std::set<qint32> guides;
    for (qint32 n = 1; n <= 21; ++n)
    {
        data.AddWork(100 + n, 500 + n, QStringLiteral("w"), 0x0003);
        data.AddGuide(n, 500 + n);
        guides.insert(n);
    }
    CServer& server = Server(QStringLiteral("A0001"), RoleContents, 7);
    server.m_setGuides = guides;
    BindInfoRows rows;
    CDiskSpelling spelling;
    AppendServerRows(data, server, contents, query, rows, spelling);
    ASSERT_EQ(rows.size(), 42u);
    for (std::size_t i = 0; i < rows.size(); ++i)
    {
        const qint32 guide = qint32(i / 2) + 1;
        const QString code = i % 2 == 0 ? QStringLiteral("JP") : QStringLiteral("EN");
        EXPECT_EQ(rows[i].m_nGuideNo, guide) << i;
        EXPECT_EQ(rows[i].m_strResource,
                  contents + code + QStringLiteral("/C") + code +
                      QStringLiteral("%1.BIN").arg(100 + guide, 5, 10, QChar(u'0')))
            << i;
        EXPECT_EQ(rows[i].m_strName, i == 0 ? QStringLiteral("A0001") : QString()) << i;
    }
}

TEST_F(BindXmlTest, QuestionnaireServerNamesOneFilePerGuideLanguage)
{
    data.m_wGuideLanguages = 0x000C;
    Server(QStringLiteral("Q0001"), RoleEnquete, 13);
    ContentFixtures::WriteQueryBin(project, QStringLiteral("FR"));
    SaveInfo();
    ExpectFile(
        {"<BindBody>", "\t<BindInfo>", "\t\t<BindInfoItem>", "\t\t\t<strName>Q0001</strName>",
         "\t\t\t<strRole>ENQUETE</strRole>", "\t\t\t<nChannel>13</nChannel>",
         "\t\t\t<strResource>" + query + "EFR000.bin</strResource>",
         "\t\t\t<strKind>ENQUETE</strKind>", "\t\t\t<nGuideNo>0</nGuideNo>", "\t\t</BindInfoItem>",
         "\t\t<BindInfoItem>", "\t\t\t<strResource>" + query + "EGE000.BIN</strResource>",
         "\t\t\t<strKind>ENQUETE</strKind>", "\t\t\t<nGuideNo>0</nGuideNo>", "\t\t</BindInfoItem>",
         "\t</BindInfo>", "</BindBody>"});
}

TEST_F(BindXmlTest, ServersWithoutRowsKeepTheirIdentity)
{
    data.m_wGuideLanguages = 0x0001;
    data.AddWork(1, 10, QStringLiteral("a"), 0x0001);
    // Guide 8 plays a work that is not loaded; guide 9 is not registered at all.
    data.AddGuide(8, 77);
    Server(QStringLiteral("P0001"), RoleProgram, 1, {8});
    Server(QStringLiteral("C0001"), RoleContents, 7, {8, 9});
    Server(QStringLiteral("X0001"), 5, 13);
    SaveInfo();
    ExpectFile(
        {"<BindBody>", "\t<BindInfo>", "\t\t<BindInfoItem>", "\t\t\t<strName>P0001</strName>",
         "\t\t\t<strRole>PROGRAM</strRole>", "\t\t\t<nChannel>1</nChannel>", "\t\t</BindInfoItem>",
         "\t\t<BindInfoItem>", "\t\t\t<strName>C0001</strName>",
         "\t\t\t<strRole>CONTENTS</strRole>", "\t\t\t<nChannel>7</nChannel>", "\t\t</BindInfoItem>",
         "\t\t<BindInfoItem>", "\t\t\t<strName>X0001</strName>", "\t\t\t<strRole>PROGRAM</strRole>",
         "\t\t\t<nChannel>13</nChannel>", "\t\t</BindInfoItem>", "\t</BindInfo>", "</BindBody>"});
}

TEST_F(BindXmlTest, EachServerStartsWithItsOwnName)
{
    data.m_wGuideLanguages = 0x0002;
    data.AddWork(3, 30, QStringLiteral("a"), 0x0002);
    data.AddGuide(4, 30);
    Server(QStringLiteral("B0001"), RoleContents, 1, {4});
    Server(QStringLiteral("B0002"), RoleContents, 7, {4});
    BindInfoRows rows;
    CDiskSpelling spelling;
    for (const auto& server : data.m_listServers)
        AppendServerRows(data, *server, contents, query, rows, spelling);
    ASSERT_EQ(rows.size(), 2u);
    for (std::size_t i = 0; i < rows.size(); ++i)
    {
        EXPECT_EQ(rows[i].m_strName, i == 0 ? QStringLiteral("B0001") : QStringLiteral("B0002"));
        EXPECT_EQ(rows[i].m_nChannel, i == 0 ? 1 : 7);
        EXPECT_EQ(rows[i].m_nGuideNo, 4);
        EXPECT_EQ(rows[i].m_strResource, contents + QStringLiteral("EN/CEN00003.BIN"));
    }
}

TEST_F(BindXmlTest, NoServersLeaveOneEmptyBindInfo)
{
    SaveInfo();
    ExpectFile({"<BindBody>", "\t<BindInfo/>", "</BindBody>"});
}

TEST_F(BindXmlTest, InformationFileHasTheBytesOfItsDocumentTree)
{
    // Save writes without the tree; the bytes must be those the tree gives, also for rows
    // the pipeline never makes.
    CBindInfoItem awkward;
    awkward.m_strName = QStringLiteral("A&<B>\"");
    awkward.m_nChannel = 0;
    awkward.m_strResource =
        QStringLiteral("/p/") + QChar(0x01) + QChar(0xD800) + QStringLiteral("ü.BIN");
    awkward.m_nGuideNo = -2;
    CBindInfoItem kindOnly;
    kindOnly.m_strKind = QStringLiteral("CONTENTS");
    CBindInfoItem full;
    full.m_strName = QStringLiteral("A0001");
    full.m_strRole = QStringLiteral("CONTENTS");
    full.m_nChannel = 7;
    full.m_strResource = QStringLiteral("/p/contents/jp/CJP00012.bin");
    full.m_strKind = QStringLiteral("CONTENTS");
    full.m_nGuideNo = 3;
    CBindInfoItem extremes;
    extremes.m_nChannel = std::numeric_limits<qint32>::min();
    extremes.m_strResource =
        QStringLiteral("/\u00FCber") + QString(300, u'x') + QStringLiteral("\"q");
    extremes.m_nGuideNo = std::numeric_limits<qint32>::max();
    // Many rows go out in pieces; escaped rows fall on both sides of a piece's end.
    BindInfoRows many;
    for (int i = 0; i < 300; ++i)
        many.insert(many.end(), {full, awkward, extremes});
    const QList<BindInfoRows> cases = {{},
                                       {CBindInfoItem()},
                                       {awkward, CBindInfoItem(), kindOnly},
                                       {full, extremes, awkward, full},
                                       many};
    for (const BindInfoRows& rows : cases)
    {
        SCOPED_TRACE(rows.size());
        const QString viaTree = project + QStringLiteral("/tree.xml");
        ASSERT_TRUE(CXmlBindInfoFile::SaveDocument(viaTree, CXmlBindInfoFile::BuildDocument(rows)));
        ASSERT_TRUE(CXmlBindInfoFile().Save(file, rows));
        EXPECT_EQ(ReadFile(file), ReadFile(viaTree));
    }
}

TEST_F(BindXmlTest, SaveFailsWhereNoFileCanBeWritten)
{
    // A folder in the file's place, and a folder that does not exist.
    ASSERT_TRUE(QDir().mkpath(file));
    EXPECT_FALSE(CXmlBindInfoFile().Save(file, {}));
    EXPECT_FALSE(CXmlBindConfFile().Save(file, BindConfRows{}));
    EXPECT_FALSE(CXmlBindConfFile().Save(project + QStringLiteral("/missing/x.xml"), {}));
}
} // namespace
