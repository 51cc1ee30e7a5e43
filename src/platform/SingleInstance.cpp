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
    QByteArray name = "Quorvane-" + QByteArray::number(getuid()) + '-';
    if (!Scope().isEmpty())
        name += Scope() + '-';
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

bool SingleInstance::TryAcquire()
{
    if (IsHeld())
        return true;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // Without a socket there is no way to tell: start-up goes on.
    if (fd < 0)
        return true;
    const QByteArray name = SocketName(m_name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // An abstract name: a NUL first, then the name; no file is made anywhere.
    std::memcpy(address.sun_path + 1, name.constData(), std::size_t(name.size()));
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + std::size_t(name.size()));
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0)
    {
        m_socket = fd;
        return true;
    }
    const int error = errno;
    ::close(fd);
    return error != EADDRINUSE;
}

void SingleInstance::Release()
{
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}
