#include "platform/FileLock.h"

#include "platform/Path.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

FileLock::~FileLock()
{
    Close();
}

FileLock::FileLock(FileLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool FileLock::Open(const QString& path)
{
    Close();
    m_fd =
        ::open(Path::EncodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    return m_fd >= 0;
}

bool FileLock::LockShared()
{
    return m_fd >= 0 && flock(m_fd, LOCK_SH) == 0;
}

bool FileLock::TryLockExclusive()
{
    return m_fd >= 0 && flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

bool FileLock::IsStillAt(const QString& path) const
{
    struct stat held, current;
    return m_fd >= 0 && fstat(m_fd, &held) == 0 &&
           lstat(Path::EncodeName(path).constData(), &current) == 0 &&
           held.st_dev == current.st_dev && held.st_ino == current.st_ino;
}

void FileLock::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
