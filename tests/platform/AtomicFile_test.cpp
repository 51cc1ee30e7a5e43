#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// The two ways to replace a file whole: flushed to the disk first, or not waited for.
struct Writer
{
    const char* name;
    bool (*write)(const QString& path, const QByteArray& bytes, QString* error);
};
const Writer kWriters[] = {
    {"WriteFileAtomically", [](const QString& path, const QByteArray& bytes, QString* error)
     { return WriteFileAtomically(path, bytes, error); }},
    {"ReplaceFile", [](const QString& path, const QByteArray& bytes, QString* error)
     { return ReplaceFile(path, bytes, error); }},
    {"FileReplacement in pieces",
     [](const QString& path, const QByteArray& bytes, QString* error)
     {
         FileReplacement file(path);
         for (qsizetype at = 0; at < bytes.size(); at += 7)
             file.Write(
                 QByteArrayView(bytes).sliced(at, std::min<qsizetype>(7, bytes.size() - at)));
         return file.Commit(error);
     }},
};

TEST(AtomicFile, ReplacesOnlyOnCommit)
{
    const QString folder = TestSupport::NewFolder();
    const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write(QByteArray("new ")));
        ASSERT_TRUE(file.Write("bytes", 5));
        // Until the commit the old file stands, whole.
        EXPECT_EQ(TestSupport::ReadFile(path), "old");
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(TestSupport::ReadFile(path), "new bytes");
    EXPECT_EQ(Entries(folder), QStringList{"data.xml"});
}

TEST(AtomicFile, AbandonedWriteLeavesOldFileAndNoLitter)
{
    const QString folder = TestSupport::NewFolder();
    const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write(QByteArray(100000, 'x')));
    }
    EXPECT_EQ(TestSupport::ReadFile(path), "old");
    EXPECT_EQ(Entries(folder), QStringList{"data.xml"});
}

TEST(AtomicFile, WritesThroughTheResolvedName)
{
    for (const Writer& writer : kWriters)
    {
        SCOPED_TRACE(writer.name);
        const QString folder = TestSupport::NewFolder();
        TestSupport::WriteFile(folder + "/Input/XML/TOVKContent.xml", "old");
        ASSERT_TRUE(writer.write(folder + "/input/xml/tovkcontent.XML", "new", nullptr));
        EXPECT_EQ(TestSupport::ReadFile(folder + "/Input/XML/TOVKContent.xml"), "new");
        EXPECT_EQ(Entries(folder + "/Input/XML"), QStringList{"TOVKContent.xml"});
    }
}

TEST(AtomicFile, FailureIsReported)
{
    for (const Writer& writer : kWriters)
    {
        SCOPED_TRACE(writer.name);
        const QString folder = TestSupport::NewFolder();
        QString error;
        EXPECT_FALSE(writer.write(folder + "/no/such/folder/x", "a", &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(writer.write(folder, "a", nullptr));
    }
}

TEST(AtomicFile, ReadOnlyFolderLeavesTheOldFile)
{
    const QString folder = TestSupport::NewFolder();
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    const QString locked = folder + "/locked";
    const QString path = TestSupport::WriteFile(locked + "/data.xml", "old");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(WriteFileAtomically(path, "new"));
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(TestSupport::ReadFile(path), "old");
}

// A write that the disk cuts short (here a file-size limit, which binds root too) must fail
// the commit, even when the short write only shows when the buffer is flushed.
TEST(AtomicFile, ShortWriteFailsAndLeavesTheOldFile)
{
    for (const Writer& writer : kWriters)
    {
        SCOPED_TRACE(writer.name);
        const QString folder = TestSupport::NewFolder();
        const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
        QString error;
        bool written = false;
        {
            const TestSupport::FileSizeLimit limit(32);
            ASSERT_TRUE(limit.IsSet());
            written = writer.write(path, QByteArray(1000, 'x'), &error);
        }
        EXPECT_FALSE(written);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(TestSupport::ReadFile(path), "old");
        EXPECT_EQ(Entries(folder), QStringList{"data.xml"});
    }
}

TEST(AtomicFile, WriteWithoutOpenFails)
{
    AtomicFile file(TestSupport::NewFolder() + "/x");
    EXPECT_FALSE(file.Write(QByteArray("a")));
    EXPECT_FALSE(file.Commit());
}
// The old file leaves its name only: another name of it keeps it as it was.
TEST(AtomicFile, AnotherLinkToTheOldFileKeepsIt)
{
    for (const Writer& writer : kWriters)
    {
        SCOPED_TRACE(writer.name);
        const QString folder = TestSupport::NewFolder();
        const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
        ASSERT_EQ(::link(QFile::encodeName(path).constData(),
                         QFile::encodeName(folder + "/other.xml").constData()),
                  0);
        ASSERT_TRUE(writer.write(path, "new", nullptr));
        EXPECT_EQ(TestSupport::ReadFile(path), "new");
        EXPECT_EQ(TestSupport::ReadFile(folder + "/other.xml"), "old");
        EXPECT_EQ(Entries(folder), (QStringList{"data.xml", "other.xml"}));
    }
}

// A replacement given up before its commit leaves the old file and nothing beside it.
TEST(FileReplacement, NotCommittedLeavesTheOldFile)
{
    const QString folder = TestSupport::NewFolder();
    const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
    {
        FileReplacement file(path);
        ASSERT_TRUE(file.Write(QByteArray(100000, 'x')));
        EXPECT_EQ(Entries(folder).size(), 2);
    }
    EXPECT_EQ(TestSupport::ReadFile(path), "old");
    EXPECT_EQ(Entries(folder), QStringList{"data.xml"});
}

// The replace that does not wait for the disk never opens what lies at the path.
TEST(ReplaceFile, AFifoOrALinkWhereTheFileGoesIsReplacedNotOpened)
{
    const QString folder = TestSupport::NewFolder();
    const QString fifo = folder + "/fifo.xml";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(ReplaceFile(fifo, "bytes"));
    EXPECT_EQ(TestSupport::ReadFile(fifo), "bytes");
    const QString target = TestSupport::WriteFile(folder + "/target", "kept");
    ASSERT_TRUE(QFile::link(target, folder + "/link.xml"));
    ASSERT_TRUE(ReplaceFile(folder + "/link.xml", "bytes"));
    EXPECT_EQ(TestSupport::ReadFile(target), "kept");
    EXPECT_FALSE(QFileInfo(folder + "/link.xml").isSymLink());
}
} // namespace
