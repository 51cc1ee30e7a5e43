#include "platform/FileLock.h"

#include "platform/Path.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

bool FileLock::Open(const QString& path)
{
    // A pipe or a device planted at the name is neither waited on nor kept.
    m_fd.Reset(::open(Path::EncodeName(path).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600));
    struct stat st;
    if (m_fd.IsOpen() && (fstat(m_fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)))
        m_fd.Reset();
    return m_fd.IsOpen();
}

bool FileLock::LockShared()
{
    return m_fd.IsOpen() && flock(m_fd.Get(), LOCK_SH) == 0;
}

bool FileLock::TryLockExclusive()
{
    return m_fd.IsOpen() && flock(m_fd.Get(), LOCK_EX | LOCK_NB) == 0;
}

bool FileLock::IsStillAt(const QString& path) const
{
    struct stat held, current;
    return m_fd.IsOpen() && fstat(m_fd.Get(), &held) == 0 &&
           lstat(Path::EncodeName(path).constData(), &current) == 0 &&
           held.st_dev == current.st_dev && held.st_ino == current.st_ino;
}

void FileLock::Close()
{
    m_fd.Reset();
}
