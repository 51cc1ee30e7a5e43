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
    const QString folder = TestSupport::NewFolder();
    TestSupport::WriteFile(folder + "/Input/XML/TOVKContent.xml", "old");
    ASSERT_TRUE(WriteFileAtomically(folder + "/input/xml/tovkcontent.XML", "new"));
    EXPECT_EQ(TestSupport::ReadFile(folder + "/Input/XML/TOVKContent.xml"), "new");
    EXPECT_EQ(Entries(folder + "/Input/XML"), QStringList{"TOVKContent.xml"});
}

TEST(AtomicFile, FailureIsReported)
{
    const QString folder = TestSupport::NewFolder();
    QString error;
    EXPECT_FALSE(WriteFileAtomically(folder + "/no/such/folder/x", "a", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(WriteFileAtomically(folder, "a"));
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
    const QString folder = TestSupport::NewFolder();
    const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 32;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = WriteFileAtomically(path, QByteArray(1000, 'x'), &error);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(TestSupport::ReadFile(path), "old");
    EXPECT_EQ(Entries(folder), QStringList{"data.xml"});
}

TEST(AtomicFile, WriteWithoutOpenFails)
{
    AtomicFile file(TestSupport::NewFolder() + "/x");
    EXPECT_FALSE(file.Write(QByteArray("a")));
    EXPECT_FALSE(file.Commit());
}
// The replace that does not wait for the disk: the same promise to a running program.
TEST(ReplaceFile, ReplacesThroughTheResolvedNameWithoutFollowingWhatLiesThere)
{
    const QString folder = TestSupport::NewFolder();
    TestSupport::WriteFile(folder + "/Input/XML/KPGEditor_Info.xml", "old");
    ASSERT_TRUE(ReplaceFile(folder + "/input/xml/kpgeditor_info.XML", "new"));
    EXPECT_EQ(TestSupport::ReadFile(folder + "/Input/XML/KPGEditor_Info.xml"), "new");
    EXPECT_EQ(Entries(folder + "/Input/XML"), QStringList{"KPGEditor_Info.xml"});

    // A FIFO or a link where the file goes is replaced, never opened.
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

TEST(ReplaceFile, AFailedWriteLeavesTheOldFileAndNoLitter)
{
    const QString folder = TestSupport::NewFolder();
    const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
    QString error;
    EXPECT_FALSE(ReplaceFile(folder + "/no/such/folder/x", "a", &error));
    EXPECT_FALSE(error.isEmpty());

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 32;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    error.clear();
    const bool written = ReplaceFile(path, QByteArray(1000, 'x'), &error);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(TestSupport::ReadFile(path), "old");
    EXPECT_EQ(Entries(folder), QStringList{"data.xml"});
}
} // namespace
