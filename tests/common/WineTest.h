#pragma once
// What the tests that run the Windows stand-ins through Wine share.
#include "common/TestSupport.h"
#include "platform/Wine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace TestSupport
{
enum class WineSetup
{
    Ready,
    Unavailable, // Wine is not installed, no loader here runs a 64-bit program, or the
                 // stand-ins could not be built
    Failed,      // the prefix could not be made
};

// Runs a command of Wine (wineboot, reg) the way the tool set runs Windows programs; true
// when it ended with 0.
inline bool RunWineCommand(const CommandLine& command, int timeoutMs = 300000)
{
    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : command.environment)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
    {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return true;
}

// Makes the prefix `prefix` once: `make` fills a new folder (or says why it could not),
// which becomes the prefix only when it succeeded. The cases of a program run in parallel: one makes it, the others wait.
template <typename Make> WineSetup MakeOnce(const QString& prefix, QString& reason, Make make)
{
    QLockFile lock(prefix + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock())
    {
        reason = QStringLiteral("the lock of the Wine prefix cannot be taken: ") + prefix;
        return WineSetup::Failed;
    }
    const QString ready = prefix + QStringLiteral(".ready");
    if (QFileInfo::exists(ready))
        return WineSetup::Ready;
    // What a run that was stopped or ran out of disk left half made.
    QDir(prefix).removeRecursively();
    if (!make())
    {
        QDir(prefix).removeRecursively();
        return WineSetup::Failed;
    }
    if (!QFileInfo::exists(WriteFile(ready, QByteArray())))
    {
        reason = QStringLiteral("the Wine prefix could not be marked ready: ") + ready;
        return WineSetup::Failed;
    }
    return WineSetup::Ready;
}

inline bool BootPrefix(const QString& prefix, QString& reason)
{
    const Wine::Loader loader = Wine::LoaderFor(Wine::Machine::X8664);
    CommandLine boot(loader.program, {QStringLiteral("wineboot"), QStringLiteral("-i")});
    boot.environment = loader.environment;
    boot.environment << QStringLiteral("WINEPREFIX=") + prefix;
    if (RunWineCommand(boot))
        return true;
    reason = QStringLiteral("wineboot could not make the prefix ") + prefix;
    return false;
}

// A copy of the booted prefix whose files are hard links: Wine replaces the registry files
// it saves and only reads its libraries, so the copies never change each other.
inline bool LinkPrefix(const QString& booted, const QString& prefix, QString& reason)
{
    const CommandLine copy(QStringLiteral("cp"),
                           {QStringLiteral("-a"), QStringLiteral("--link"), booted, prefix});
    if (RunWineCommand(copy))
        return true;
    reason = QStringLiteral("the Wine prefix could not be copied to ") + prefix;
    return false;
}

// Makes Wine ready for the Windows stand-ins (which are 64-bit programs): this test
// program's own prefix, so that programs running side by side never share a registry; no
// display, no add-on installers. Wine's libraries fill most of a prefix: one prefix is
// booted, and each program's is a linked copy of it. The reason tells why it is not ready.
inline WineSetup SetUpWine(QString& reason)
{
    if (Wine::Program().isEmpty())
    {
        reason = QStringLiteral("Wine is not installed (scripts/install-deps installs it)");
        return WineSetup::Unavailable;
    }
    const bool debianLayout =
        QFileInfo::exists(Wine::Loader32()) || QFileInfo::exists(Wine::Loader64());
    if (debianLayout && !Wine::LoaderRuns(Wine::Loader32()) && !Wine::LoaderRuns(Wine::Loader64()))
    {
        reason = QStringLiteral("no Wine loader can run a 64-bit program on this machine");
        return WineSetup::Unavailable;
    }
    if (WindowsStandinFolder().isEmpty())
    {
        reason = QStringLiteral("the MinGW cross compiler was missing when the build was set up");
        return WineSetup::Unavailable;
    }
    const QString root = QStringLiteral(QUORVANE_WINE_PREFIX_ROOT);
    const QString booted = root + QStringLiteral("/booted");
    const QString prefix = root + u'/' + QCoreApplication::applicationName();
    qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=");
    qputenv("WINEDEBUG", "-all");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    if (!QDir().mkpath(root))
    {
        reason = QStringLiteral("the folder of the Wine prefixes cannot be made: ") + root;
        return WineSetup::Failed;
    }

    WineSetup setup = MakeOnce(booted, reason, [&] { return BootPrefix(booted, reason); });
    if (setup != WineSetup::Ready)
        return setup;
    setup = MakeOnce(prefix, reason, [&] { return LinkPrefix(booted, prefix, reason); });
    if (setup == WineSetup::Ready)
        qputenv("WINEPREFIX", prefix.toUtf8());
    return setup;
}
} // namespace TestSupport

// In a fixture's SetUp or a test: skips where Wine or the stand-ins are not there, fails
// where Wine is there but its prefix cannot be made.
#define REQUIRE_WINE()                                                                             \
    do                                                                                             \
    {                                                                                              \
        QString wineReason;                                                                        \
        switch (TestSupport::SetUpWine(wineReason))                                                \
        {                                                                                          \
        case TestSupport::WineSetup::Unavailable:                                                  \
            GTEST_SKIP() << wineReason.toStdString();                                              \
        case TestSupport::WineSetup::Failed:                                                       \
            FAIL() << wineReason.toStdString();                                                    \
        case TestSupport::WineSetup::Ready:                                                        \
            break;                                                                                 \
        }                                                                                          \
    } while (false)

namespace TestSupport
{
// Copies the Windows stand-in `name`.exe into the folder as `as`; false when it cannot.
inline bool InstallWindowsStandin(const QString& name, const QString& folder, const QString& as)
{
    QDir().mkpath(folder);
    return QFile::copy(WindowsStandinFolder() + u'/' + name + QStringLiteral(".exe"),
                       folder + u'/' + as);
}
} // namespace TestSupport

namespace TestSupport
{
// The ways Wine can fail a Windows tool, each as a test sets it up.
enum class WineFailure
{
    No32BitLoader,  // the kernel refuses the 32-bit loader: a 64-bit tool still runs
    I386Tool,       // the same machine, and the tool is an i386 program
    UnusablePrefix, // the prefix is a plain file
    Exception,      // the tool ends through an exception nothing handles
};

inline const char* NameOf(WineFailure failure)
{
    switch (failure)
    {
    case WineFailure::No32BitLoader:
        return "no 32-bit loader";
    case WineFailure::I386Tool:
        return "i386 tool without a 32-bit loader";
    case WineFailure::UnusablePrefix:
        return "unusable prefix";
    case WineFailure::Exception:
        return "unhandled exception";
    }
    return "";
}

// Sets one failure up for as long as it lives: a "wine" launcher on PATH whose 32-bit loader
// the kernel refuses (Exec format error) beside the real 64-bit loader, the tool's PE header
// turned into an i386 one, or a prefix that is a plain file. The stand-ins' "crash" command
// is the caller's part.
class WineFailureScene
{
public:
    WineFailureScene(WineFailure failure, const QString& tool)
        : m_path(qgetenv("PATH")), m_prefix(qgetenv("WINEPREFIX"))
    {
        if (failure == WineFailure::No32BitLoader || failure == WineFailure::I386Tool)
        {
            const QString root = NewFolder(QStringLiteral("no 32-bit wine"));
            const QString loaders = root + QStringLiteral("/lib/wine");
            Executable(root + QStringLiteral("/bin/wine"),
                       "#!/bin/sh -e\nexec \"" + loaders.toUtf8() + "/wine\" \"$@\"\n");
            Executable(loaders + QStringLiteral("/wine"), QByteArray("\x7f"
                                                                     "ELF\1\1\1\0\0\0\0\0",
                                                                     12));
            QFile::link(m_loader64, loaders + QStringLiteral("/wine64"));
            qputenv("PATH", (root + QStringLiteral("/bin:")).toUtf8() + m_path);
        }
        if (failure == WineFailure::I386Tool)
        {
            QFile file(tool);
            if (file.open(QIODevice::ReadWrite))
            {
                const QByteArray head = file.read(0x40);
                const quint32 pe = quint8(head[0x3C]) | quint8(head[0x3D]) << 8;
                file.seek(pe + 4);
                file.write("\x4c\x01", 2);
            }
        }
        if (failure == WineFailure::UnusablePrefix)
        {
            m_prefixFile =
                WriteFile(NewFolder(QStringLiteral("prefix")) + QStringLiteral("/p"), "x");
            qputenv("WINEPREFIX", m_prefixFile.toUtf8());
        }
    }
    ~WineFailureScene()
    {
        qputenv("PATH", m_path);
        qputenv("WINEPREFIX", m_prefix);
    }
    WineFailureScene(const WineFailureScene&) = delete;
    WineFailureScene& operator=(const WineFailureScene&) = delete;

    // True where the scene can be made: the 64-bit loader is where Debian puts it.
    static bool Possible() { return QFileInfo::exists(Wine::Loader64()); }
    // What Wine prints for the unusable prefix.
    QString PrefixLine() const
    {
        return QStringLiteral("wine: cannot use directory %1 : Not a directory").arg(m_prefixFile);
    }

private:
    static void Executable(const QString& path, const QByteArray& bytes)
    {
        WriteFile(path, bytes);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QByteArray m_path;
    QByteArray m_prefix;
    QString m_loader64 = Wine::Loader64();
    QString m_prefixFile;
};
} // namespace TestSupport
