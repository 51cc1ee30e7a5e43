#include "common/TestSupport.h"

#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <sys/prctl.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace TestSupport
{
QByteArray WindowsProgram(quint16 machine, quint32 at, const char* magic)
{
    QByteArray bytes(0x200, '\0');
    bytes.replace(0, 2, magic);
    for (int b = 0; b < 4; ++b)
        bytes[0x3C + b] = char(at >> (8 * b));
    if (at + 6 <= quint32(bytes.size()))
    {
        bytes.replace(at, 4, QByteArray("PE\0\0", 4));
        bytes[at + 4] = char(machine & 0xFF);
        bytes[at + 5] = char(machine >> 8);
    }
    return bytes;
}

QString NewFolder(const QString& name)
{
    static int counter = 0;
    const QString path = QDir::tempPath() + QStringLiteral("/%1-%2").arg(name).arg(++counter);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

QString WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteNativeFile(const QByteArray& path, const QByteArray& bytes)
{
    std::FILE* file = std::fopen(path.constData(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), file) ==
                         std::size_t(bytes.size());
    return std::fclose(file) == 0 && written;
}

QByteArray ReadNativeFile(const QByteArray& path)
{
    QByteArray bytes;
    if (std::FILE* file = std::fopen(path.constData(), "rb"))
    {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, qsizetype(n));
        std::fclose(file);
    }
    return bytes;
}

NativeRun RunWithBytes(const QByteArray& program, const QList<QByteArray>& arguments,
                       const QByteArray& folder, const QByteArray& locale, RunAs as)
{
    const QByteArray outputs = QFile::encodeName(NewFolder(QStringLiteral("run")));
    const QByteArray outPath = outputs + "/out";
    const QByteArray errPath = outputs + "/err";
    QList<QByteArray> environment;
    for (char** entry = environ; *entry; ++entry)
    {
        const QByteArray variable(*entry);
        if (!variable.startsWith("LC_ALL=") && !variable.startsWith("DISPLAY=") &&
            !variable.startsWith("WAYLAND_DISPLAY="))
            environment.append(variable);
    }
    environment.append("LC_ALL=" + locale);
    std::vector<char*> argv{const_cast<char*>(program.constData())};
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const QByteArray& variable : environment)
        envp.push_back(const_cast<char*>(variable.constData()));
    envp.push_back(nullptr);

    NativeRun run;
    const pid_t pid = fork();
    if (pid < 0)
        return run;
    if (pid == 0)
    {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0 || chdir(folder.constData()) != 0 ||
            (as == RunAs::Unprivileged && unshare(CLONE_NEWUSER) != 0))
            _exit(NotStarted);
        execve(program.constData(), argv.data(), envp.data());
        _exit(NotStarted);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
    {
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    run.out = ReadFile(QFile::decodeName(outPath));
    run.err = ReadFile(QFile::decodeName(errPath));
    return run;
}

QMap<QString, QByteArray> TreeOf(const QString& folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    const QDir root(folder);
    while (entries.hasNext())
    {
        const QFileInfo info = entries.nextFileInfo();
        const QString name = root.relativeFilePath(info.filePath());
        if (info.isSymLink())
            tree[name] = "-> " + info.symLinkTarget().toUtf8();
        else if (info.isDir())
            tree[name] = "<folder>";
        else
            tree[name] = ReadFile(info.filePath());
    }
    return tree;
}

QProcessEnvironment EnvironmentWithoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return environment;
}

void RemoveNativeTree(const QByteArray& path)
{
    nftw(
        path.constData(),
        [](const char* entry, const struct stat*, int, FTW*) { return remove(entry); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

std::string ProgramInUse(const char* program)
{
    const QString name = QLatin1String(program);
    const bool hub = name == QLatin1String("OstrelinJP");
    const QString mutex = hub ? QStringLiteral("Quorvane KPSonavelBindEditor")
                              : QStringLiteral("Quorvane KPSonavelContentEditor");
    if (!SingleInstance::IsHeldElsewhere(mutex))
        return std::string();
    return std::string("another ") + (hub ? "OstrelinJP" : "TOVKContEditJP or TOVKContEditEN") +
           " of this user is running; close it to run this test";
}

QString StandinFolder()
{
    return QStringLiteral(QUORVANE_STANDIN_DIR);
}

QString WindowsStandinFolder()
{
    return QStringLiteral(QUORVANE_WINDOWS_STANDIN_DIR);
}

namespace
{
int CountLive(qint64 group)
{
    int live = 0;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids)
    {
        if (pid.toLongLong() <= 0)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid pgrp ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields.at(2).toLongLong() == group && fields.at(0) != "Z")
            ++live;
    }
    return live;
}
} // namespace

int LiveProcessesOfGroup(qint64 group, int ms)
{
    QElapsedTimer timer;
    timer.start();
    int live = CountLive(group);
    while (live > 0 && timer.elapsed() < ms)
    {
        QThread::msleep(5);
        live = CountLive(group);
    }
    return live;
}
} // namespace TestSupport

namespace TestSupport
{
FileSizeLimit::FileSizeLimit(long long bytes)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_oldCurrent = static_cast<long long>(limit.rlim_cur);
    m_oldHandler = signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0)
    {
        limit.rlim_cur = static_cast<rlim_t>(m_oldCurrent);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (m_oldHandler != SIG_ERR)
        signal(SIGXFSZ, m_oldHandler);
}

int RunAsUser(unsigned uid, const std::function<int()>& body)
{
    if (geteuid() != 0)
        return -1;
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0)
    {
        if (setgroups(0, nullptr) != 0 || setgid(gid_t(uid)) != 0 || setuid(uid_t(uid)) != 0)
            _exit(125);
        // The user's own /proc/self stays reachable after the change of user.
        prctl(PR_SET_DUMPABLE, 1);
        _exit(body());
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR)
        continue;
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 125)
        return -1;
    return WEXITSTATUS(status);
}

bool KillAtRandomMoment(const std::function<void()>& body, int maxMs)
{
    const pid_t child = fork();
    if (child == 0)
    {
        body();
        _exit(0);
    }
    if (child < 0)
        return false;
    QThread::usleep(QRandomGenerator::global()->bounded(maxMs * 1000));
    ::kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR)
        continue;
    return WIFEXITED(status);
}
} // namespace TestSupport

namespace TestSupport
{
namespace
{
std::string MakePrivateRoot()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string base = (tmp && *tmp) ? tmp : "/tmp";
    std::string pattern = base + "/quorvane-test-XXXXXX";
    std::string buffer = pattern;
    if (!mkdtemp(buffer.data()))
    {
        // A full disk ends every test program here: say so rather than abort without a word.
        std::fprintf(stderr, "cannot make the test's private folder %s: %s\n", pattern.c_str(),
                     std::strerror(errno));
        std::abort();
    }
    return buffer;
}

void SetUpEnvironment(const std::string& root)
{
    for (const char* sub : {"home", "config", "runtime", "tmp"})
        QDir().mkpath(QString::fromStdString(root + "/" + sub));
    QFile::setPermissions(QString::fromStdString(root + "/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("HOME", (root + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    setenv("TMPDIR", (root + "/tmp").c_str(), 1);
    if (!std::getenv("QUORVANE_TEST_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}
} // namespace

PrivateEnvironment::PrivateEnvironment() : m_root(MakePrivateRoot())
{
    SetUpEnvironment(m_root);
    SingleInstance::SetScope(QByteArray::fromStdString(m_root));
}

PrivateEnvironment::~PrivateEnvironment()
{
    if (!std::getenv("QUORVANE_KEEP_TEST_ROOT"))
        QDir(QString::fromStdString(m_root)).removeRecursively();
}
} // namespace TestSupport
