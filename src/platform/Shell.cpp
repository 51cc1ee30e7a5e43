#include "platform/Shell.h"

#include "platform/FileDescriptor.h"
#include "platform/Path.h"

#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
// How long a display on another host may take to accept the connection.
constexpr int ConnectMilliseconds = 2000;

// Connects without blocking and waits for the answer; a full backlog counts as no answer.
bool Answers(const FileDescriptor& fd, const sockaddr* address, socklen_t length)
{
    bool answered = ::connect(fd.Get(), address, length) == 0;
    if (!answered && errno == EINPROGRESS)
    {
        pollfd waiting{fd.Get(), POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        answered = ::poll(&waiting, 1, ConnectMilliseconds) == 1 &&
                   ::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    return answered;
}

// A local socket by its path, or by its name in the abstract namespace.
bool LocalSocketAnswers(const QByteArray& name, bool abstract)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t lead = abstract ? 1 : 0;
    if (name.isEmpty() || lead + std::size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + lead, name.constData(), std::size_t(name.size()));
    const FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.IsOpen())
        return false;
    // The path with its terminating zero, or the zero that marks the abstract name and the name.
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + std::size_t(name.size()) + 1);
    return Answers(fd, reinterpret_cast<const sockaddr*>(&address), length);
}

bool TcpAnswers(const QByteArray& host, int port)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found) != 0)
        return false;
    bool answered = false;
    for (const addrinfo* at = found; at && !answered; at = at->ai_next)
    {
        const FileDescriptor fd(::socket(
            at->ai_family, at->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, at->ai_protocol));
        answered = fd.IsOpen() && Answers(fd, at->ai_addr, at->ai_addrlen);
    }
    ::freeaddrinfo(found);
    return answered;
}

bool WaylandAnswers()
{
    const QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty())
        return false;
    if (name.startsWith('/'))
        return LocalSocketAnswers(name, false);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && LocalSocketAnswers(runtime + '/' + name, false);
}

// DISPLAY is "[host]:number[.screen]": the local server's socket without a host (or with
// "unix"), else TCP port 6000 + number on the host.
bool XAnswers()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    if (colon < 0)
        return false;
    const QByteArray host = display.left(colon);
    bool isNumber = false;
    const int number = display.mid(colon + 1).split('.').front().toInt(&isNumber);
    if (!isNumber || number < 0)
        return false;
    if (host.isEmpty() || host == "unix")
    {
        const QByteArray socket = "/tmp/.X11-unix/X" + QByteArray::number(number);
        return LocalSocketAnswers(socket, true) || LocalSocketAnswers(socket, false);
    }
    return TcpAnswers(host, 6000 + number);
}

class DesktopShell : public ShellBackend
{
public:
    bool Open(const QString& path, const OpenFailed& failed) override
    {
        // As a URL, the way the desktop services hand documents over.
        const CommandLine command(QStringLiteral("xdg-open"),
                                  {QString::fromLatin1(Shell::FileUrl(path))});
        return Opener::Start(command, QString(), failed);
    }

    bool OpenDetached(const QString& path) override
    {
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty() || !Shell::DesktopSessionAnswers())
            return false;
        // The opener and the program it starts keep off this program's console.
        QProcess process;
        process.setProgram(opener);
        // As a URL, the way the desktop services hand documents over.
        process.setArguments({QString::fromLatin1(Shell::FileUrl(path))});
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        return process.startDetached();
    }
};

DesktopShell g_desktop;
ShellBackend* g_shell = nullptr;
} // namespace

ShellBackend::~ShellBackend() = default;

RecordingShell::RecordingShell() : m_previous(&Shell::Current())
{
    Shell::SetBackend(this);
}

RecordingShell::~RecordingShell()
{
    if (&Shell::Current() == this)
        Shell::SetBackend(m_previous);
}

bool RecordingShell::Open(const QString& path, const OpenFailed& failed)
{
    opened << path;
    if (!result && failed)
        failed(program);
    return result;
}

bool RecordingShell::OpenDetached(const QString& path)
{
    opened << path;
    return result;
}

QByteArray Shell::FileUrl(const QString& path)
{
    // Characters a URL path may hold stay as they are, as in the desktop's own URLs.
    return "file://" + Path::EncodeName(Path::Resolve(path)).toPercentEncoding("/!$&'()*+,;=:@[]");
}

ShellBackend& Shell::Current()
{
    return g_shell ? *g_shell : g_desktop;
}

void Shell::SetBackend(ShellBackend* backend)
{
    g_shell = backend;
}

bool Shell::Open(const QString& path, const OpenFailed& failed)
{
    return Current().Open(path, failed);
}

bool Shell::OpenDetached(const QString& path)
{
    return Current().OpenDetached(path);
}

bool Shell::DesktopSessionAnswers()
{
    return WaylandAnswers() || XAnswers();
}
