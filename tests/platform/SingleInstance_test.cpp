#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/SingleInstance.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
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

// A process of its own that sets its environment, tries the guard and, holding what it got,
// waits to be killed. Its answer: 'h' held, 'r' refused, 'n' let through without a guard.
class Contender
{
public:
    struct Setup
    {
        QByteArray runtime; // empty: unset
        QByteArray temp;    // empty: unset
        bool noDescriptors = false;
        QString name = Name;
        bool programsName = false; // the name as the programs hold it, out of the test's scope
    };

    explicit Contender(const Setup& setup)
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0)
        {
            close(ready[0]);
            setup.runtime.isEmpty() ? unsetenv("XDG_RUNTIME_DIR")
                                    : setenv("XDG_RUNTIME_DIR", setup.runtime.constData(), 1);
            setup.temp.isEmpty() ? unsetenv("TMPDIR") : setenv("TMPDIR", setup.temp.constData(), 1);
            if (setup.noDescriptors)
            {
                const rlimit none{0, 0};
                setrlimit(RLIMIT_NOFILE, &none);
            }
            if (setup.programsName)
                SingleInstance::SetScope(QByteArray());
            SingleInstance guard(setup.name);
            const bool acquired = guard.TryAcquire();
            const char answer = !acquired ? 'r' : guard.IsHeld() ? 'h' : 'n';
            (void)!write(ready[1], &answer, 1);
            for (;;)
                pause();
        }
        close(ready[1]);
        if (m_pid < 0 || read(ready[0], &m_answer, 1) != 1)
            m_answer = '?';
        close(ready[0]);
    }
    ~Contender() { Kill(); }
    Contender(const Contender&) = delete;
    Contender& operator=(const Contender&) = delete;

    char Answer() const { return m_answer; }
    void Kill()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    char m_answer = '?';
};

// Two programs of one user that see different environments still share the guard, whichever
// of them came first.
TEST(SingleInstance, NoEnvironmentVariableMovesTheGuard)
{
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedTemp = qgetenv("TMPDIR");
    const QByteArray elsewhere = TestSupport::NewFolder("elsewhere").toUtf8();
    const QByteArray plainFile =
        TestSupport::WriteFile(elsewhere + "/file", "not a folder").toUtf8();
    const struct
    {
        const char* name;
        Contender::Setup child;
    } cases[] = {
        {"another runtime folder", {elsewhere, savedTemp}},
        {"no runtime folder", {QByteArray(), savedTemp}},
        {"another temporary folder", {savedRuntime, elsewhere}},
        {"an unusable runtime and temporary folder", {plainFile, plainFile}},
        {"neither folder", {QByteArray(), QByteArray()}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        {
            SingleInstance first(Name);
            ASSERT_TRUE(first.TryAcquire());
            Contender second(c.child);
            EXPECT_EQ(second.Answer(), 'r');
        }
        Contender first(c.child);
        ASSERT_EQ(first.Answer(), 'h');
        SingleInstance second(Name);
        EXPECT_FALSE(second.TryAcquire());
    }
}

// The kernel lets go of the guard of a process that is killed: nothing is left behind.
TEST(SingleInstance, AHolderThatIsKilledLeavesNothingBehind)
{
    Contender holder({qgetenv("XDG_RUNTIME_DIR"), qgetenv("TMPDIR")});
    ASSERT_EQ(holder.Answer(), 'h');
    {
        SingleInstance refused(Name);
        EXPECT_FALSE(refused.TryAcquire());
    }
    holder.Kill();
    SingleInstance taker(Name);
    EXPECT_TRUE(taker.TryAcquire());
    EXPECT_TRUE(taker.IsHeld());
}

// A process that can make no socket (no descriptor left) holds nothing but starts.
TEST(SingleInstance, WithoutASocketStartUpGoesOn)
{
    Contender starved({qgetenv("XDG_RUNTIME_DIR"), qgetenv("TMPDIR"), true});
    EXPECT_EQ(starved.Answer(), 'n');
}

// The check of a test before it starts a built program looks at the programs' name, not at
// the scope of the test program, and takes nothing.
TEST(SingleInstance, HeldElsewhereLooksAtTheProgramsName)
{
    const QString name = "Quorvane test " + QString::number(getpid());
    EXPECT_FALSE(SingleInstance::IsHeldElsewhere(name));
    SingleInstance scoped(name);
    ASSERT_TRUE(scoped.TryAcquire());
    EXPECT_FALSE(SingleInstance::IsHeldElsewhere(name));
    Contender program({qgetenv("XDG_RUNTIME_DIR"), qgetenv("TMPDIR"), false, name, true});
    ASSERT_EQ(program.Answer(), 'h');
    EXPECT_TRUE(SingleInstance::IsHeldElsewhere(name));
    EXPECT_TRUE(SingleInstance::IsHeldElsewhere(name));
    program.Kill();
    EXPECT_FALSE(SingleInstance::IsHeldElsewhere(name));
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
