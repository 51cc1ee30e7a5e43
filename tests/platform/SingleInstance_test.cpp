#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/SingleInstance.h"

#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
const QString Name = "Quorvane KPSonavelContentEditor";

TEST(SingleInstance, SecondHolderIsRefusedUntilRelease)
{
    SingleInstance first(Name);
    ASSERT_TRUE(first.TryAcquire());
    EXPECT_TRUE(first.IsHeld());
    EXPECT_TRUE(first.TryAcquire());
    {
        SingleInstance second(Name);
        EXPECT_FALSE(second.TryAcquire());
        EXPECT_FALSE(second.IsHeld());
        SingleInstance other("Quorvane KPSonavel");
        EXPECT_TRUE(other.TryAcquire());
    }
    first.Release();
    SingleInstance third(Name);
    EXPECT_TRUE(third.TryAcquire());
}

TEST(SingleInstance, DestructionReleases)
{
    {
        SingleInstance held(Name);
        ASSERT_TRUE(held.TryAcquire());
    }
    EXPECT_FALSE(QFile::exists(SingleInstance::LockPath(Name)));
    SingleInstance again(Name);
    EXPECT_TRUE(again.TryAcquire());
}

TEST(SingleInstance, LockOfADeadProcessIsTakenOver)
{
    // A process that has ended leaves its lock behind, as after a crash.
    QProcess dead;
    dead.start("/bin/true");
    ASSERT_TRUE(dead.waitForFinished(10000));
    const qint64 pid = dead.processId() ? dead.processId() : 999999;
    const QString path = SingleInstance::LockPath(Name);
    TestSupport::WriteFile(path, QByteArray::number(pid > 0 ? pid : 999999) + "\ntrue\n" +
                                     QSysInfo::machineHostName().toUtf8() + "\n");
    SingleInstance taker(Name);
    EXPECT_TRUE(taker.TryAcquire());
}

TEST(SingleInstance, LockOfALiveProcessHolds)
{
    QProcess alive;
    alive.start("/bin/sleep", {"30"});
    ASSERT_TRUE(alive.waitForStarted(10000));
    const QString path = SingleInstance::LockPath(Name);
    TestSupport::WriteFile(path, QByteArray::number(alive.processId()) + "\nsleep\n" +
                                     QSysInfo::machineHostName().toUtf8() + "\n");
    SingleInstance refused(Name);
    EXPECT_FALSE(refused.TryAcquire());
    alive.kill();
    alive.waitForFinished(10000);
    QFile::remove(path);
}
TEST(SingleInstance, AnUnusableRuntimeFolderFallsBackAndNeverStopsStartUp)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const QString runtime = TestSupport::NewFolder("runtime");
    // "Quorvane" is a plain file: the lock goes to the private temporary folder instead,
    // where a second holder is still refused.
    TestSupport::WriteFile(runtime + "/Quorvane", "not a folder");
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    {
        SingleInstance first(Name);
        EXPECT_TRUE(first.TryAcquire());
        EXPECT_TRUE(first.IsHeld());
        EXPECT_FALSE(SingleInstance::LockPath(Name).startsWith(runtime));
        SingleInstance second(Name);
        EXPECT_FALSE(second.TryAcquire());
    }
    // No usable folder at all: nothing is held, and start-up goes on.
    const QByteArray savedTemp = qgetenv("TMPDIR");
    const QString temp = TestSupport::NewFolder("temp");
    TestSupport::WriteFile(temp + "/quorvane-" + QString::number(getuid()), "not a folder");
    qputenv("TMPDIR", temp.toUtf8());
    {
        SingleInstance alone(Name);
        EXPECT_TRUE(alone.TryAcquire());
        EXPECT_FALSE(alone.IsHeld());
    }
    qputenv("TMPDIR", savedTemp);
    qputenv("XDG_RUNTIME_DIR", saved);
}
} // namespace
