// The project file: its exact bytes, the older forms it accepts and the files it refuses.
#include "Ostrelin/model/Archive.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/PathHelpers.h"
#include "Ostrelin/res/Strings.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace
{
using TestSupport::NewFolder;
using TestSupport::ReadFile;
using TestSupport::WriteFile;

// Little-endian builder for hand-made project files.
class Bytes
{
public:
    Bytes& raw(const QByteArray& b)
    {
        m_bytes += b;
        return *this;
    }
    Bytes& u8(quint8 v)
    {
        m_bytes += char(v);
        return *this;
    }
    Bytes& u16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_bytes.append(b, 2);
        return *this;
    }
    Bytes& u32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_bytes.append(b, 4);
        return *this;
    }
    // Wide archive string, short length form.
    Bytes& str(const QString& s)
    {
        u8(0xFF).u16(0xFFFE).u8(quint8(s.size()));
        for (QChar c : s)
            u16(c.unicode());
        return *this;
    }
    Bytes& emptyStrings(int n)
    {
        for (int i = 0; i < n; ++i)
            str({});
        return *this;
    }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// Header of a version-2 file: display language, masks, nine empty title paths.
Bytes Version2(quint32 display = 0, quint16 guide = 0, quint16 title = 0)
{
    Bytes b;
    b.raw("OLX0").u16(2).u32(display).u16(guide).u16(title).emptyStrings(9);
    return b;
}

class BindModelFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(OstrelinStringsJA());
        folder = NewFolder(QStringLiteral("project"));
        path = folder + QStringLiteral("/GuideData.olx");
    }

    bool Open(const QByteArray& bytes)
    {
        WriteFile(path, bytes);
        return doc.OnOpenDocument(path);
    }

    QByteArray Save()
    {
        EXPECT_TRUE(doc.OnSaveDocument(path));
        return ReadFile(path);
    }

    // A project with something in every stored field, and works so nothing is narrowed.
    void FillProject()
    {
        CBindData& d = doc.GetBindData();
        d.AddWork(1, 10, QStringLiteral("a"), 0x01FF);
        d.m_nDisplayLanguage = 2;
        d.m_wGuideLanguages = 0x0013;
        d.m_wTitleLanguages = 0x0011;
        d.m_strTitleImage[0] = QStringLiteral("/p/タイトル.bmp");
        d.m_strTitleImage[8] = QStringLiteral("/p/t8.bmp");
        d.AddGuide(7, 10);
        d.AddGuide(3, 11);
        d.AddServer(QStringLiteral("BBBBB"));
        d.AddServer(QStringLiteral("AAAAA"));
        CServer* s = d.FindServer(QStringLiteral("BBBBB"));
        s->m_nRole = RoleContents;
        s->m_nChannel = 13;
        s->m_setGuides = {7, 3};
        d.m_strContentXml = QStringLiteral("/p/convert/input/xml/c.xml");
        d.m_strQueryXml = QStringLiteral("/p/convert/input/xml/q.xml");
    }

    QString folder;
    QString path;
    COstrelinDoc doc;
};

TEST_F(BindModelFileTest, EmptyProjectIsSixtySixBytes)
{
    doc.OnNewDocument();
    const QByteArray bytes = Save();
    const QByteArray expected = Version2().u32(0).u32(0).emptyStrings(2).bytes();
    EXPECT_EQ(bytes.size(), 66);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.left(6), Hex("4f4c58300200"));
    EXPECT_EQ(bytes.mid(14, 4), Hex("fffeff00"));
}

TEST_F(BindModelFileTest, FilledProjectBytes)
{
    FillProject();
    const QByteArray expected = Bytes()
                                    .raw("OLX0")
                                    .u16(2)
                                    .u32(2)
                                    .u16(0x0013)
                                    .u16(0x0011)
                                    .str(QStringLiteral("/p/タイトル.bmp"))
                                    .emptyStrings(7)
                                    .str(QStringLiteral("/p/t8.bmp"))
                                    .u32(2)
                                    .u32(3)
                                    .u32(11)
                                    .u32(7)
                                    .u32(10)
                                    .u32(2)
                                    .str(QStringLiteral("BBBBB"))
                                    .u32(1)
                                    .u32(13)
                                    .u32(2)
                                    .u32(3)
                                    .u32(7)
                                    .str(QStringLiteral("AAAAA"))
                                    .u32(0)
                                    .u32(1)
                                    .u32(0)
                                    .str(QStringLiteral("/p/convert/input/xml/c.xml"))
                                    .str(QStringLiteral("/p/convert/input/xml/q.xml"))
                                    .bytes();
    EXPECT_EQ(Save(), expected);
}

TEST_F(BindModelFileTest, RoundTripKeepsEverythingStored)
{
    FillProject();
    const QByteArray first = Save();

    COstrelinDoc other;
    other.GetBindData().AddWork(1, 10, {}, 0x01FF);
    ASSERT_TRUE(other.OnOpenDocument(path));
    const CBindData& d = other.GetBindData();
    EXPECT_EQ(d.m_nDisplayLanguage, 2);
    EXPECT_EQ(d.m_wGuideLanguages, 0x0013);
    EXPECT_EQ(d.m_wTitleLanguages, 0x0011);
    EXPECT_EQ(d.m_strTitleImage[0], u"/p/タイトル.bmp");
    ASSERT_EQ(d.m_listServers.size(), 2u);
    EXPECT_EQ(d.m_listServers[0]->m_strName, u"BBBBB");
    EXPECT_EQ(d.m_listServers[0]->m_nChannel, 13);
    EXPECT_EQ(d.m_listServers[0]->m_setGuides, (std::set<qint32>{3, 7}));
    EXPECT_EQ(d.m_strQueryXml, u"/p/convert/input/xml/q.xml");
    EXPECT_FALSE(other.IsModified());
    ASSERT_TRUE(other.OnSaveDocument(path));
    EXPECT_EQ(ReadFile(path), first);
}

TEST_F(BindModelFileTest, ArchiveStringLengthForms)
{
    struct Case
    {
        qsizetype length;
        const char* prefix; // marker and length bytes
    };
    const Case cases[] = {
        {0, "fffeff00"},
        {254, "fffefffe"},
        {255, "fffeffffff00"},
        {300, "fffeffff2c01"},
        {0xFFFD, "fffeffFFfdff"},
        {0xFFFE, "fffeffffffff"
                 "feff0000"},
        {70000, "fffeffffffff70110100"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.length);
        QString text(c.length, QChar(u'あ'));
        CArchive out;
        out.WriteString(text);
        const QByteArray prefix = Hex(c.prefix);
        EXPECT_EQ(out.Bytes().left(prefix.size()).toHex(), prefix.toHex());
        EXPECT_EQ(out.Bytes().size(), prefix.size() + 2 * c.length);

        CArchive in(out.Bytes(), {});
        EXPECT_EQ(in.ReadString(), text);
        EXPECT_EQ(in.Remaining(), 0);
    }
}

TEST_F(BindModelFileTest, EightBitStringsAreCodePage932)
{
    // "日本" in code page 932, then an ASCII string with the u16 length form.
    QByteArray bytes = Hex("04") + Hex("93fa967b");
    bytes += Hex("ff0001") + QByteArray(256, 'x');
    CArchive in(bytes, {});
    EXPECT_EQ(in.ReadString(), u"日本");
    EXPECT_EQ(in.ReadString(), QString(256, u'x'));
}

TEST_F(BindModelFileTest, OldestFormHasNoVersionNorTitleMask)
{
    doc.GetBindData().AddWork(1, 1, {}, 0x0003);
    const QByteArray bytes = Bytes()
                                 .raw("OLX ")
                                 .u32(1)
                                 .u16(0x0003)
                                 .str(QStringLiteral("/t0.bmp"))
                                 .emptyStrings(8)
                                 .u32(1)
                                 .u32(4)
                                 .u32(1)
                                 .u32(0)
                                 .bytes();
    doc.GetBindData().m_wTitleLanguages = 0x0001;
    doc.GetBindData().m_strContentXml = QStringLiteral("/previous/c.xml");
    ASSERT_TRUE(Open(bytes));
    const CBindData& d = doc.GetBindData();
    EXPECT_EQ(d.m_nDisplayLanguage, 1);
    EXPECT_EQ(d.m_wGuideLanguages, 0x0003);
    EXPECT_EQ(d.m_wTitleLanguages, 0);
    EXPECT_EQ(d.m_strTitleImage[0], u"/t0.bmp");
    ASSERT_NE(d.FindGuide(4), nullptr);
    // Not the previous project's paths: the defaults below this project's folder.
    EXPECT_EQ(d.m_strContentXml, folder + QStringLiteral("/convert/input/xml/TOVKContent.xml"));
    EXPECT_EQ(d.m_strQueryXml, folder + QStringLiteral("/convert/input/xml/TOVKQuery.xml"));
}

TEST_F(BindModelFileTest, VersionOneGetsDefaultPaths)
{
    const QByteArray bytes =
        Bytes().raw("OLX0").u16(1).u32(0).u16(0).u16(0).emptyStrings(9).u32(0).u32(0).bytes();
    ASSERT_TRUE(Open(bytes));
    EXPECT_EQ(doc.GetBindData().m_strContentXml,
              folder + QStringLiteral("/convert/input/xml/TOVKContent.xml"));
    EXPECT_EQ(doc.GetBindData().m_strQueryXml,
              folder + QStringLiteral("/convert/input/xml/TOVKQuery.xml"));
}

TEST_F(BindModelFileTest, RefusedFilesReplaceNothing)
{
    const QByteArray good = Version2(3, 1, 1).u32(1).u32(2).u32(5).u32(0).emptyStrings(2).bytes();
    struct Case
    {
        const char* what;
        QByteArray bytes;
        bool loadError;
    };
    QByteArray version3 = good;
    version3[4] = 3;
    QByteArray hugeGuides = Version2().u32(0xFFFFFFFFu).bytes();
    QByteArray hugeServers = Version2().u32(0).u32(0x40000000u).bytes();
    QByteArray hugeServerGuides = Version2()
                                      .u32(0)
                                      .u32(1)
                                      .str(QStringLiteral("AAAAA"))
                                      .u32(0)
                                      .u32(1)
                                      .u32(0xFFFFFFF0u)
                                      .bytes();
    QByteArray hugeString = Version2().bytes().left(14) + Hex("fffeff"
                                                              "ffffff"
                                                              "ffffffff"
                                                              "ffffffffffffff7f");
    const Case cases[] = {
        {"version 3", version3, true},
        {"other magic", QByteArray("OLX1") + good.mid(4), true},
        {"lower-case magic", QByteArray("olx0") + good.mid(4), true},
        {"empty file", QByteArray(), false},
        {"guide count beyond the file", hugeGuides, false},
        {"server count beyond the file", hugeServers, false},
        {"server guide count beyond the file", hugeServerGuides, false},
        {"string length beyond the file", hugeString, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        COstrelinDoc d;
        CBindData& data = d.GetBindData();
        data.m_nDisplayLanguage = 7;
        data.m_wGuideLanguages = 0x0100;
        data.AddGuide(9, 9);
        data.AddServer(QStringLiteral("KEEP1"));
        data.m_strContentXml = QStringLiteral("/keep.xml");
        WriteFile(path, c.bytes);
        EXPECT_FALSE(d.OnOpenDocument(path));
        EXPECT_EQ(d.m_bLoadError, c.loadError);
        EXPECT_EQ(data.m_nDisplayLanguage, 7);
        EXPECT_EQ(data.m_wGuideLanguages, 0x0100);
        EXPECT_NE(data.FindGuide(9), nullptr);
        EXPECT_NE(data.FindServer(QStringLiteral("KEEP1")), nullptr);
        EXPECT_EQ(data.m_strContentXml, u"/keep.xml");
    }
}

TEST_F(BindModelFileTest, EveryTruncationFailsCleanly)
{
    FillProject();
    const QByteArray full = Save();
    for (qsizetype n = 0; n < full.size(); ++n)
    {
        COstrelinDoc d;
        d.GetBindData().AddGuide(500, 1);
        WriteFile(path, full.left(n));
        ASSERT_FALSE(d.OnOpenDocument(path)) << n;
        ASSERT_NE(d.GetBindData().FindGuide(500), nullptr) << n;
        ASSERT_EQ(d.GetBindData().m_listServers.size(), 0u) << n;
    }
    WriteFile(path, full);
    EXPECT_TRUE(doc.OnOpenDocument(path));
}

TEST_F(BindModelFileTest, RefusedGuidesAndServersAreDropped)
{
    const QByteArray bytes = Version2()
                                 .u32(6)
                                 .u32(0)
                                 .u32(1) // guide 0
                                 .u32(1000)
                                 .u32(1) // guide 1000
                                 .u32(5)
                                 .u32(50)
                                 .u32(5)
                                 .u32(60) // second pair of 5
                                 .u32(6)
                                 .u32(20000) // bad work
                                 .u32(999)
                                 .u32(10000)
                                 .u32(4)
                                 .str(QStringLiteral("AAAAA"))
                                 .u32(1)
                                 .u32(7)
                                 .u32(3)
                                 .u32(5)
                                 .u32(5)
                                 .u32(1200)
                                 .str(QStringLiteral("AAAAA"))
                                 .u32(2)
                                 .u32(13)
                                 .u32(1)
                                 .u32(9)
                                 .str(QStringLiteral("bad!!"))
                                 .u32(0)
                                 .u32(1)
                                 .u32(0)
                                 .str(QStringLiteral("BBBBB"))
                                 .u32(0)
                                 .u32(1)
                                 .u32(2)
                                 .u32(0)
                                 .u32(998)
                                 .emptyStrings(2)
                                 .bytes();
    ASSERT_TRUE(Open(bytes));
    const CBindData& d = doc.GetBindData();
    ASSERT_EQ(d.m_mapGuides.size(), 2u);
    EXPECT_EQ(d.FindGuide(5)->m_nWorkNo, 50);
    EXPECT_EQ(d.FindGuide(999)->m_nWorkNo, 10000);
    ASSERT_EQ(d.m_listServers.size(), 2u);
    const CServer* a = d.m_listServers[0].get();
    EXPECT_EQ(a->m_strName, u"AAAAA");
    EXPECT_EQ(a->m_nRole, RoleContents);
    EXPECT_EQ(a->m_nChannel, 7);
    EXPECT_EQ(a->m_setGuides, (std::set<qint32>{5}));
    EXPECT_EQ(d.m_listServers[1]->m_setGuides, (std::set<qint32>{998}));
}

TEST_F(BindModelFileTest, OpeningNarrowsTheMasksToTheContent)
{
    const QByteArray bytes = Version2(0, 0x0007, 0x0005).u32(0).u32(0).emptyStrings(2).bytes();
    CBindData& d = doc.GetBindData();
    d.AddWork(1, 1, {}, 0x0003); // no French content
    d.m_wQueryLanguages = 0x0004;
    ASSERT_TRUE(Open(bytes));
    EXPECT_EQ(d.m_wGuideLanguages, 0x0003);
    EXPECT_EQ(d.m_wTitleLanguages, 0x0001);
    // Works and the questionnaire mask come from the scans, not the file.
    EXPECT_EQ(d.m_mapWorks.size(), 1u);
    EXPECT_EQ(d.m_wQueryLanguages, 0x0004);
}

TEST_F(BindModelFileTest, NewDocumentEmptiesTheProject)
{
    FillProject();
    CBindData& d = doc.GetBindData();
    d.m_wQueryLanguages = 3;
    d.m_strTitleFolder = QStringLiteral("/titles");
    doc.SetModifiedFlag();
    doc.m_bLoadError = true;
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(d.m_nDisplayLanguage, 0);
    EXPECT_EQ(
        d.m_wGuideLanguages | d.m_wTitleLanguages | d.m_wQueryLanguages | d.m_wContentLanguages, 0);
    EXPECT_TRUE(d.m_mapWorks.empty());
    EXPECT_TRUE(d.m_mapGuides.empty());
    EXPECT_TRUE(d.m_listServers.empty());
    EXPECT_TRUE(d.m_strContentXml.isEmpty());
    EXPECT_TRUE(d.m_strQueryXml.isEmpty());
    EXPECT_TRUE(d.m_strTitleImage[0].isEmpty());
    EXPECT_TRUE(d.m_strTitleFolder.isEmpty());
    EXPECT_FALSE(doc.m_bLoadError);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(BindModelFileTest, FailedSaveKeepsThePreviousFile)
{
    FillProject();
    const QByteArray before = Save();
    doc.GetBindData().m_strQueryXml = QString(200, u'q');
    doc.SetModifiedFlag();
    // Writes past 32 bytes fail (for root too), so the new file cannot be completed.
    bool saved = false;
    {
        const TestSupport::FileSizeLimit limit(32);
        ASSERT_TRUE(limit.IsSet());
        saved = doc.OnSaveDocument(path);
    }
    EXPECT_FALSE(saved);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("GuideData.olx")});
}

TEST_F(BindModelFileTest, SaveFindsTheFileInAnotherLetterCase)
{
    doc.OnNewDocument();
    WriteFile(folder + QStringLiteral("/guidedata.olx"), "old");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(ReadFile(folder + QStringLiteral("/guidedata.olx")).size(), 66);
    EXPECT_TRUE(doc.OnOpenDocument(path));
}

TEST_F(BindModelFileTest, PathHelpers)
{
    struct Case
    {
        const char* path;
        const char* relative;
        const char* joined;
    };
    const Case cases[] = {
        {"/p", "convert", "/p/convert"},
        {"/p/", "\\convert", "/p/convert"},
        {"/p", "./convert/output/sd", "/p/convert/output/sd"},
        {"/p/convert", "\\input\\xml", "/p/convert/input/xml"},
        {"/", "convert", "/convert"},
        {"/p", "", "/p"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppendPath(QString::fromUtf8(c.path), QString::fromUtf8(c.relative)),
                  QString::fromUtf8(c.joined))
            << c.path << " + " << c.relative;
    EXPECT_EQ(GetFileNamePart(QStringLiteral("/a/b/GuideData.olx")), u"GuideData.olx");
    EXPECT_EQ(GetFileNamePart(QStringLiteral("C:\\p\\x.olx")), u"x.olx");
    EXPECT_EQ(GetFileNamePart(QStringLiteral("x.olx")), u"x.olx");
    EXPECT_EQ(GetFileNamePart(QStringLiteral("/a/")), u"");

    doc.SetDefaultXmlPaths(QStringLiteral("/a/b/Guide.olx"));
    EXPECT_EQ(doc.GetBindData().m_strContentXml, u"/a/b/convert/input/xml/TOVKContent.xml");
    EXPECT_EQ(doc.GetBindData().m_strQueryXml, u"/a/b/convert/input/xml/TOVKQuery.xml");
}
} // namespace

namespace
{
// A save killed at any moment leaves the project file old or new, whole and loadable; what
// the killed saves left beside it goes at the next save.
TEST_F(BindModelFileTest, AKilledSaveLeavesTheOldFileOrTheNewOne)
{
    doc.OnNewDocument();
    doc.GetBindData().m_strContentXml = QStringLiteral("round 0");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    int previous = 0;
    for (int round = 1; round <= 30; ++round)
    {
        // Large enough that a kill lands inside the save now and then.
        doc.GetBindData().m_strContentXml = QStringLiteral("round %1").arg(round);
        doc.GetBindData().m_strQueryXml = QString(2 << 20, u'q');
        TestSupport::KillAtRandomMoment([&] { doc.OnSaveDocument(path); }, 40);
        COstrelinDoc back;
        ASSERT_TRUE(back.OnOpenDocument(path)) << "round " << round;
        const QString found = back.GetBindData().m_strContentXml;
        const int foundRound = found.mid(6).toInt();
        EXPECT_TRUE(foundRound == previous || foundRound == round) << found.toStdString();
        previous = foundRound;
    }
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("GuideData.olx")});
}
} // namespace
