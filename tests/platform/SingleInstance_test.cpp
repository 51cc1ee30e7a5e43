#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/SingleInstance.h"

#include <csignal>
#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
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
        SingleInstance other("Quorvane KPSonavelBindEditor");
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
    SingleInstance again(Name);
    EXPECT_TRUE(again.TryAcquire());
}

// Two programs of one user that see different environments still share the guard.
TEST(SingleInstance, NoEnvironmentVariableMovesTheGuard)
{
    SingleInstance first(Name);
    ASSERT_TRUE(first.TryAcquire());
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedTemp = qgetenv("TMPDIR");
    const QString elsewhere = TestSupport::NewFolder("elsewhere");
    const QString plainFile = TestSupport::WriteFile(elsewhere + "/file", "not a folder");
    const struct
    {
        const char* name;
        QByteArray runtime; // empty: unset
        QByteArray temp;
    } cases[] = {
        {"another runtime folder", elsewhere.toUtf8(), savedTemp},
        {"no runtime folder", QByteArray(), savedTemp},
        {"an unusable runtime and temporary folder", plainFile.toUtf8(), plainFile.toUtf8()},
        {"no temporary folder either", QByteArray(), QByteArray()},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.runtime.isEmpty() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", c.runtime);
        c.temp.isEmpty() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", c.temp);
        SingleInstance second(Name);
        EXPECT_FALSE(second.TryAcquire());
    }
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    qputenv("TMPDIR", savedTemp);
}

// The kernel lets go of the guard of a process that is killed: nothing is left behind.
TEST(SingleInstance, AHolderThatIsKilledLeavesNothingBehind)
{
    const QByteArray name = SingleInstance::SocketName(Name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.constData(), std::size_t(name.size()));
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + std::size_t(name.size()));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        // Only system calls here: the holder binds the name, says so, and waits to be killed.
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const char ok = bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
        (void)!write(ready[1], &ok, 1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char bound = 0;
    ASSERT_EQ(read(ready[0], &bound, 1), 1);
    close(ready[0]);
    ASSERT_TRUE(bound);
    {
        SingleInstance refused(Name);
        EXPECT_FALSE(refused.TryAcquire());
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    SingleInstance taker(Name);
    EXPECT_TRUE(taker.TryAcquire());
}

TEST(SingleInstance, NamesHoldTheUserAndFitTheAddress)
{
    const QByteArray name = SingleInstance::SocketName(Name);
    EXPECT_TRUE(name.startsWith("Quorvane-" + QByteArray::number(getuid()) + '-')) << name.data();
    EXPECT_TRUE(name.endsWith(Name.toUtf8()));
    const QString longName(300, u'x');
    const QByteArray shortened = SingleInstance::SocketName(longName);
    EXPECT_EQ(shortened.size(), qsizetype(sizeof(sockaddr_un::sun_path) - 1));
    EXPECT_NE(shortened, SingleInstance::SocketName(longName + u'y'));
    SingleInstance held(longName);
    EXPECT_TRUE(held.TryAcquire());
    EXPECT_FALSE(SingleInstance(longName).TryAcquire());
}
} // namespace
