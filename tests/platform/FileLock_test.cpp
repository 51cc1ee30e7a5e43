#include "platform/FileLock.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

TEST(FileLock, SharedHoldersKeepAnExclusiveTakerOutUntilTheLastLeaves)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("in-use.lock");
    FileLock first, second, taker;
    ASSERT_TRUE(first.Open(path) && first.LockShared());
    ASSERT_TRUE(second.Open(path) && second.LockShared());
    ASSERT_TRUE(taker.Open(path));
    EXPECT_FALSE(taker.TryLockExclusive());
    first.Close();
    EXPECT_FALSE(taker.TryLockExclusive());
    FileLock moved = std::move(second);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_FALSE(taker.TryLockExclusive());
    moved.Close();
    EXPECT_TRUE(taker.TryLockExclusive());
}

TEST(FileLock, AFileMadeAnewAtThePathIsNotTheOneHeld)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("in-use.lock");
    FileLock lock;
    ASSERT_TRUE(lock.Open(path));
    EXPECT_TRUE(lock.IsStillAt(path));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(lock.IsStillAt(path));
    FileLock other;
    ASSERT_TRUE(other.Open(path));
    EXPECT_FALSE(lock.IsStillAt(path));
    EXPECT_TRUE(other.IsStillAt(path));
}

TEST(FileLock, ALinkIsNotOpened)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("target");
    ASSERT_TRUE(QFile(target).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(target, dir.filePath("in-use.lock")));
    FileLock lock;
    EXPECT_FALSE(lock.Open(dir.filePath("in-use.lock")));
}

TEST(FileLock, APipeOrADeviceAtThePathIsRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    const QByteArray pipe = QFile::encodeName(dir.filePath("pipe.lock"));
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    // The null device, made in the test's folder (only where the user may make devices).
    const QByteArray device = QFile::encodeName(dir.filePath("device.lock"));
    const bool haveDevice = mknod(device.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    for (const QByteArray& path : {pipe, device})
    {
        if (path == device && !haveDevice)
            continue;
        FileLock lock;
        EXPECT_FALSE(lock.Open(QFile::decodeName(path))) << path.constData();
        EXPECT_FALSE(lock.IsOpen());
    }
}
