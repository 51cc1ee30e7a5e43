// The tool archive: scrambler, extraction into the tool folder, and removal.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/shared/ToolArchive.h"
#include "TOVKContEdit/shared/ToolScrambler.h"
#include "common/TestSupport.h"
#include "platform/TempFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <random>

namespace
{
QByteArray RandomBytes(int count, unsigned seed)
{
    std::mt19937 gen(seed);
    QByteArray b(count, '\0');
    for (char& c : b)
        c = char(gen() & 0xFF);
    return b;
}

std::uint8_t* Bytes(QByteArray& b)
{
    return reinterpret_cast<std::uint8_t*>(b.data());
}

// Ten files of different sizes, one of them empty.
QList<QByteArray> ToolContents()
{
    QList<QByteArray> files;
    for (int i = 0; i < 10; ++i)
        files.append(RandomBytes(i == 4 ? 0 : 300 + 7000 * i, 100 + i));
    return files;
}

// What the archive builder writes: records with a position running over all payloads.
QByteArray Pack(const QList<QByteArray>& files)
{
    QByteArray archive;
    std::uint32_t position = 0;
    for (QByteArray bytes : files)
    {
        ChecksFixtures::PutU32(archive, bytes.size());
        ScrambleToolData(MakeToolSeed(), Bytes(bytes), bytes.size(), Bytes(bytes), position);
        archive.append(bytes);
        position += bytes.size();
    }
    return archive;
}

QString Entry(const QString& folder, int i)
{
    return folder + "/" + ToolFileTable[i];
}

TEST(ToolScrambler, UnscrambleInvertsScrambleAtAnyPosition)
{
    const QByteArray plain = RandomBytes(40000, 1);
    for (std::uint32_t start : {0u, 1u, 16383u, 123456u, 0xFFFFFF00u})
    {
        QByteArray data = plain;
        const std::uint8_t seed = MakeToolSeed();
        ScrambleToolData(seed, Bytes(data), data.size(), Bytes(data), start);
        EXPECT_NE(data, plain) << start;
        QByteArray out(data.size(), '\0');
        EXPECT_EQ(UnscrambleToolData(seed, Bytes(data), data.size(), Bytes(out), start),
                  start + 40000u);
        EXPECT_EQ(out, plain) << start;
    }
}

TEST(ToolScrambler, PositionRunsOnAcrossPieces)
{
    const QByteArray plain = RandomBytes(20000, 2);
    QByteArray whole = plain;
    ScrambleToolData(7, Bytes(whole), whole.size(), Bytes(whole), 0);
    QByteArray first = whole.left(12345), second = whole.mid(12345);
    const std::uint32_t next = UnscrambleToolData(7, Bytes(first), first.size(), Bytes(first), 0);
    UnscrambleToolData(7, Bytes(second), second.size(), Bytes(second), next);
    EXPECT_EQ(first + second, plain);
}

class Extraction : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_files = ToolContents();
        m_archive = Pack(m_files);
        m_folder = TestSupport::NewFolder() + "/VantiloqTools";
    }
    void ExpectAllFiles() const
    {
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(TestSupport::ReadFile(Entry(m_folder, i)), m_files[i]) << i;
    }

    QList<QByteArray> m_files;
    QByteArray m_archive;
    QString m_folder;
};

TEST_F(Extraction, UnpacksEveryFileIntoItsSubfolder)
{
    QString out;
    ASSERT_TRUE(ExtractToolsInto(m_archive, m_folder, out));
    EXPECT_EQ(out, m_folder);
    ExpectAllFiles();
    EXPECT_EQ(QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"exe", "files"}));
    // The programs under exe can be started.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(QFileInfo(Entry(m_folder, i)).isExecutable(), i < 6) << i;
}

TEST_F(Extraction, TheLastProgramOutRemovesTheSharedFiles)
{
    for (const bool hubLeavesFirst : {true, false})
    {
        SCOPED_TRACE(hubLeavesFirst);
        QString out;
        ToolFolderHold hub;
        ToolFolderHold editor;
        ASSERT_TRUE(hub.Acquire(m_folder));
        ASSERT_TRUE(ExtractToolsInto(m_archive, m_folder, out));
        ASSERT_TRUE(editor.Acquire(m_folder));
        ASSERT_TRUE(ExtractToolsInto(m_archive, m_folder, out));
        ToolFolderHold& first = hubLeavesFirst ? hub : editor;
        ToolFolderHold& last = hubLeavesFirst ? editor : hub;
        first.Release();
        RemoveTools(m_folder);
        ExpectAllFiles();
        last.Release();
        RemoveTools(m_folder);
        EXPECT_FALSE(QFileInfo::exists(m_folder));
    }
}

TEST_F(Extraction, AHoldOfAnotherProcessKeepsTheFiles)
{
    const QString flock = QStandardPaths::findExecutable("flock");
    if (flock.isEmpty())
        GTEST_SKIP() << "no flock program";
    QString out;
    ToolFolderHold self;
    ASSERT_TRUE(self.Acquire(m_folder));
    ASSERT_TRUE(ExtractToolsInto(m_archive, m_folder, out));
    // Another program holds the marker shared until its input ends.
    const QString marker = m_folder + "/" + ToolFolderMarker;
    QProcess other;
    other.start(flock, {"-s", marker, "sh", "-c", "echo held; exec cat"});
    ASSERT_TRUE(other.waitForReadyRead(10000));
    self.Release();
    RemoveTools(m_folder);
    ExpectAllFiles();
    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(10000));
    RemoveTools(m_folder);
    EXPECT_FALSE(QFileInfo::exists(m_folder));
    // A folder removed under a hold (by a program that knows no marker) is held anew.
    ASSERT_TRUE(self.Acquire(m_folder));
    QDir(m_folder).removeRecursively();
    EXPECT_TRUE(self.Acquire(m_folder));
    EXPECT_TRUE(QFileInfo::exists(marker));
}

TEST_F(Extraction, FilesOfTheRightSizeAreKept)
{
    QString out;
    ASSERT_TRUE(ExtractToolsInto(m_archive, m_folder, out));
    // Same sizes, other bytes: nothing is written and the folder is still reported.
    for (int i = 0; i < 10; ++i)
        TestSupport::WriteFile(Entry(m_folder, i), QByteArray(m_files[i].size(), 'k'));
    out.clear();
    ASSERT_TRUE(ExtractToolsInto(m_archive, m_folder, out));
    EXPECT_EQ(out, m_folder);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(TestSupport::ReadFile(Entry(m_folder, i)), QByteArray(m_files[i].size(), 'k'));
}

TEST_F(Extraction, MissingFilesUnpackFromTheirOwnRecords)
{
    QString out;
    ASSERT_TRUE(ExtractToolsInto(m_archive, m_folder, out));
    for (int i = 3; i < 10; ++i)
        ASSERT_TRUE(QFile::remove(Entry(m_folder, i)));
    // A file cut short by an interrupted run is written again.
    TestSupport::WriteFile(Entry(m_folder, 1), m_files[1].left(10));
    ASSERT_TRUE(ExtractToolsInto(m_archive, m_folder, out));
    ExpectAllFiles();
}

TEST_F(Extraction, ShortArchiveStopsWithoutReportingTheFolder)
{
    struct Case
    {
        const char* name;
        QByteArray archive;
        int filesWritten;
    };
    // Record 6 (index 5) starts after five length fields and the payloads of files 0..4.
    qsizetype sixth = 0;
    for (int i = 0; i < 5; ++i)
        sixth += 4 + m_files[i].size();
    const Case cases[] = {
        {"payload cut", m_archive.left(sixth + 4 + 100), 5},
        {"length field cut", m_archive.left(sixth + 2), 5},
        {"empty archive", QByteArray(), 0},
        {"length beyond the end", QByteArray("\xff\xff\xff\x7f", 4) + m_archive, 0},
    };
    for (const Case& c : cases)
    {
        const QString folder = TestSupport::NewFolder() + "/tools";
        QString out = "before";
        EXPECT_FALSE(ExtractToolsInto(c.archive, folder, out)) << c.name;
        EXPECT_EQ(out, "before") << c.name;
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(QFileInfo::exists(Entry(folder, i)), i < c.filesWritten) << c.name << i;
    }
}

TEST_F(Extraction, FolderInTheWayStops)
{
    TestSupport::WriteFile(m_folder, "a file where the folder belongs");
    QString out;
    EXPECT_FALSE(ExtractToolsInto(m_archive, m_folder, out));
    EXPECT_TRUE(out.isEmpty());
    TestSupport::WriteFile(m_folder + "2/files", "a file where the subfolder belongs");
    EXPECT_FALSE(ExtractToolsInto(m_archive, m_folder + "2", out));
    EXPECT_FALSE(QFileInfo::exists(Entry(m_folder + "2", 0)));
}

TEST_F(Extraction, RemoveLeavesOnlyWhatCannotGo)
{
    QString out;
    ASSERT_TRUE(ExtractToolsInto(m_archive, m_folder, out));
    // A folder with content where file 3 was: it cannot be deleted as a file.
    ASSERT_TRUE(QFile::remove(Entry(m_folder, 2)));
    TestSupport::WriteFile(Entry(m_folder, 2) + "/busy", "x");
    RemoveTools(out);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(QFileInfo::exists(Entry(m_folder, i)), i == 2) << i;
    EXPECT_TRUE(QFileInfo::exists(m_folder + "/exe"));
    EXPECT_FALSE(QFileInfo::exists(m_folder + "/files"));

    QFile::remove(Entry(m_folder, 2) + "/busy");
    QDir().rmdir(Entry(m_folder, 2));
    RemoveTools(QString());
    EXPECT_TRUE(QFileInfo::exists(m_folder));
    RemoveTools(out);
    EXPECT_FALSE(QFileInfo::exists(m_folder));
}

TEST(ToolArchiveResource, UnpacksTheBuiltInFilesIntoTheTemporaryFolder)
{
    QString out;
    ASSERT_TRUE(ExtractTools(ToolArchive(), out));
    EXPECT_EQ(out, TempFolder() + "/VantiloqTools");
    // The build packs the stand-in tool files unless told of the real ones.
    const QString standins = QStringLiteral(QUORVANE_SOURCE_DIR "/tests/standins/toolfiles");
    qsizetype total = 0;
    for (int i = 0; i < 10; ++i)
    {
        const QByteArray bytes = TestSupport::ReadFile(Entry(out, i));
        total += 4 + bytes.size();
        EXPECT_EQ(bytes, TestSupport::ReadFile(Entry(standins, i))) << i;
    }
    EXPECT_EQ(total, qsizetype(ToolArchiveSize()));
    RemoveTools(out);
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(ToolArchiveResource, NothingIsUnpackedIntoAFolderThatCannotBeHeld)
{
    const QString folder = TempFolder() + "/VantiloqTools";
    // A marker that cannot be opened: the folder cannot be held.
    ASSERT_TRUE(QDir().mkpath(folder + "/" + ToolFolderMarker));
    ToolFolderHold hold;
    QString out = "before";
    EXPECT_FALSE(UnpackTools(hold, out));
    EXPECT_EQ(out, "before");
    EXPECT_FALSE(hold.IsHeld());
    EXPECT_FALSE(QFileInfo::exists(folder + "/exe"));

    ASSERT_TRUE(QDir().rmdir(folder + "/" + ToolFolderMarker));
    EXPECT_TRUE(UnpackTools(hold, out));
    EXPECT_EQ(out, folder);
    EXPECT_TRUE(hold.IsHeld());
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(QFileInfo(Entry(out, i)).isFile()) << i;
    hold.Release();
    RemoveTools(out);
    EXPECT_FALSE(QFileInfo::exists(folder));
}
} // namespace
