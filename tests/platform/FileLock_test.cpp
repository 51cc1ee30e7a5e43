#include "platform/FileLock.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
