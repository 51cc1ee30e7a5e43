#pragma once
// Small helpers shared by the test programs.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <functional>
#include <string>

namespace TestSupport
{
// A fresh empty folder below the test's private temporary folder.
QString NewFolder(const QString& name = QStringLiteral("case"));

// Writes bytes to a file, creating its parent folders; returns the path.
QString WriteFile(const QString& path, const QByteArray& bytes);

QByteArray ReadFile(const QString& path);

// The bytes of a Windows program file whose PE header at `at` names the machine type.
QByteArray WindowsProgram(quint16 machine, quint32 at = 0x80, const char* magic = "MZ");

// Where the stand-ins of the external tools are built.
QString StandinFolder();

// A file at a path given as the bytes the file system holds.
bool WriteNativeFile(const QByteArray& path, const QByteArray& bytes);
QByteArray ReadNativeFile(const QByteArray& path); // empty when it cannot be read

// A program run by its bytes: arguments and folders that are no text reach it unchanged.
struct NativeRun
{
    int exitCode = -1; // -2 when it did not end by itself
    QByteArray out;
    QByteArray err;
};
// Who the program runs as: this process's user, or that user without its privileges (a user
// namespace of its own, where the file permissions bind root too).
enum class RunAs
{
    Caller,
    Unprivileged,
};
// Exit code of a run that could not be started as asked (no user namespaces here).
constexpr int NotStarted = 127;
// Runs the program in the folder with LC_ALL set to the locale and no display, and waits
// for its end.
NativeRun RunWithBytes(const QByteArray& program, const QList<QByteArray>& arguments,
                       const QByteArray& folder, const QByteArray& locale,
                       RunAs as = RunAs::Caller);
// Everything below the folder, by path relative to it: a file's bytes, "<folder>" for a
// folder and "-> <target>" for a link (never followed); empty when there is no folder.
QMap<QString, QByteArray> TreeOf(const QString& folder);
// This process's environment without a display to connect to (nor a desktop session).
QProcessEnvironment EnvironmentWithoutDisplay();
// Removes a tree whose names may be no text (the Qt helpers cannot reach those).
void RemoveNativeTree(const QByteArray& path);

// The processes of the group that are still alive (zombies waiting for their reaper count
// as ended); waits up to ms for the count to reach 0.
int LiveProcessesOfGroup(qint64 group, int ms = 2000);

// The built hub ("OstrelinJP") and content editors ("TOVKContEditJP", "TOVKContEditEN") run
// once per user, whatever the environment says. Why a test cannot start the program now (the
// user runs one), empty when it can.
std::string ProgramInUse(const char* program);
} // namespace TestSupport

// Skips the test while the user runs one of the named built programs: one the test started
// would refuse to start beside it.
#define SKIP_WHILE_THE_USER_RUNS(...)                                                              \
    for (const char* program_ : {__VA_ARGS__})                                                     \
        if (const std::string busy_ = TestSupport::ProgramInUse(program_); !busy_.empty())         \
    GTEST_SKIP() << busy_

namespace TestSupport
{
// While it lives, this process has a private HOME, config, runtime and temporary folder (below
// a new folder of $TMPDIR), offscreen windows unless QUORVANE_TEST_DISPLAY is set, and
// single-instance guards of its own, so it never touches the user's files and runs beside
// others. The folder goes with it unless QUORVANE_KEEP_TEST_ROOT is set.
class PrivateEnvironment
{
public:
    PrivateEnvironment();
    ~PrivateEnvironment();
    PrivateEnvironment(const PrivateEnvironment&) = delete;
    PrivateEnvironment& operator=(const PrivateEnvironment&) = delete;

private:
    std::string m_root;
};

// Where the Windows stand-ins are built; empty when the MinGW cross compiler was missing.
QString WindowsStandinFolder();

// While it lives, writes of this process past `bytes` fail (root too) instead of raising
// SIGXFSZ: a disk that cuts a write short. The old limit and handler come back at its end.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool IsSet() const { return m_set; }

private:
    long long m_oldCurrent = 0;
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

// Runs body in a child process of the user (and group) `uid`, where permissions bind; the
// child's exit code, or -1 when no such child can be made (the test is not run as root).
// Descriptors stay open across, and /proc/self/fd/N reaches a folder open in the parent.
int RunAsUser(unsigned uid, const std::function<int()>& body);

// Runs body in a child process and kills it (SIGKILL) after a random time below maxMs; true
// when the body had ended by itself before that.
bool KillAtRandomMoment(const std::function<void()>& body, int maxMs);
} // namespace TestSupport
