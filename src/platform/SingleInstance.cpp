#include "platform/SingleInstance.h"

#include "platform/Path.h"
#include "platform/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// $XDG_RUNTIME_DIR/Quorvane when it is (or can be made) a folder of ours closed to others;
// else the private temporary folder; empty when neither can be used.
QString LockFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
    {
        const QString folder = QDir::cleanPath(runtime) + QStringLiteral("/Quorvane");
        const QByteArray native = Path::EncodeName(folder);
        mkdir(native.constData(), 0700);
        struct stat st;
        if (lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
            (st.st_mode & 0077) == 0)
            return folder;
    }
    return TempFolder();
}
} // namespace

SingleInstance::SingleInstance(const QString& mutexName) : m_name(mutexName) {}

SingleInstance::~SingleInstance()
{
    Release();
}

QString SingleInstance::LockPath(const QString& mutexName)
{
    const QString folder = LockFolder();
    if (folder.isEmpty())
        return QString();
    QString name = mutexName;
    name.replace(u'/', u'_');
    name.replace(u'\\', u'_');
    return folder + u'/' + name + QStringLiteral(".lock");
}

bool SingleInstance::TryAcquire()
{
    if (IsHeld())
        return true;
    const QString path = LockPath(m_name);
    // Without a place for the lock there is no way to tell: start-up goes on.
    if (path.isEmpty())
        return true;
    auto lock = std::make_unique<QLockFile>(path);
    // Held as long as the process lives: never stale by age, only when its holder is gone.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return lock->error() != QLockFile::LockFailedError;
    m_lock = std::move(lock);
    return true;
}

bool SingleInstance::IsHeld() const
{
    return m_lock && m_lock->isLocked();
}

void SingleInstance::Release()
{
    if (m_lock)
    {
        m_lock->unlock();
        m_lock.reset();
    }
}
