#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
QByteArray& Scope()
{
    static QByteArray scope;
    return scope;
}

// A socket bound to the abstract name, or -errno: a NUL first, then the name; no file is made
// anywhere.
int BindName(const QByteArray& name)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -errno;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.constData(), std::size_t(name.size()));
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + std::size_t(name.size()));
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0)
        return fd;
    const int error = errno;
    ::close(fd);
    return -error;
}

QByteArray NameOf(const QString& mutexName, const QByteArray& scope)
{
    QByteArray name = "Quorvane-" + QByteArray::number(getuid()) + '-';
    if (!scope.isEmpty())
        name += scope + '-';
    name += mutexName.toUtf8();
    // The address holds 107 bytes after the leading NUL; a longer name keeps its start and a
    // digest of the whole.
    constexpr qsizetype MaxName = sizeof(sockaddr_un::sun_path) - 1;
    if (name.size() > MaxName)
    {
        const QByteArray digest =
            QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex().left(32);
        name = name.left(MaxName - digest.size()) + digest;
    }
    return name;
}
} // namespace

SingleInstance::SingleInstance(const QString& mutexName) : m_name(mutexName) {}

SingleInstance::~SingleInstance()
{
    Release();
}

void SingleInstance::SetScope(const QByteArray& scope)
{
    Scope() = scope;
}

QByteArray SingleInstance::SocketName(const QString& mutexName)
{
    return NameOf(mutexName, Scope());
}

bool SingleInstance::TryAcquire()
{
    if (IsHeld())
        return true;
    const int fd = BindName(SocketName(m_name));
    // Without a socket there is no way to tell: start-up goes on.
    if (fd == -EADDRINUSE)
        return false;
    m_socket = fd >= 0 ? fd : -1;
    return true;
}

bool SingleInstance::IsHeldElsewhere(const QString& mutexName)
{
    const int fd = BindName(NameOf(mutexName, QByteArray()));
    if (fd >= 0)
        ::close(fd);
    return fd == -EADDRINUSE;
}

void SingleInstance::Release()
{
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}
