#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace
{
QByteArray& Scope()
{
    static QByteArray scope;
    return scope;
}

// A socket bound to the abstract name: a NUL first, then the name; no file is made anywhere.
// None, with the reason in `error`, when it cannot be bound.
FileDescriptor BindName(const QByteArray& name, int& error)
{
    FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    error = errno;
    if (!fd.IsOpen())
        return fd;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.constData(), std::size_t(name.size()));
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + std::size_t(name.size()));
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), length) == 0)
        return fd;
    error = errno;
    return {};
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
    int error = 0;
    FileDescriptor fd = BindName(SocketName(m_name), error);
    // Without a socket there is no way to tell: start-up goes on.
    if (!fd.IsOpen() && error == EADDRINUSE)
        return false;
    m_socket = std::move(fd);
    return true;
}

bool SingleInstance::IsHeldElsewhere(const QString& mutexName)
{
    int error = 0;
    return !BindName(NameOf(mutexName, QByteArray()), error).IsOpen() && error == EADDRINUSE;
}

void SingleInstance::Release()
{
    m_socket.Reset();
}
