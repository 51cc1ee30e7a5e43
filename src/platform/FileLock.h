#pragma once
// An advisory lock on a small file that several programs share: held shared by each user of
// something, taken exclusively by the one that wants it alone.
#include "platform/FileDescriptor.h"

#include <QString>

class FileLock
{
public:
    // Opens the file, making it when missing (private to the user; a link, a pipe or a
    // device at the path is refused).
    bool Open(const QString& path);
    // Waits until every exclusive holder is gone.
    bool LockShared();
    // False at once when anyone else holds the lock.
    bool TryLockExclusive();
    // True while the path still names the file this lock holds (it was not removed and made
    // anew meanwhile).
    bool IsStillAt(const QString& path) const;
    bool IsOpen() const { return m_fd.IsOpen(); }
    // Releases the lock and the file.
    void Close();

private:
    FileDescriptor m_fd;
};
