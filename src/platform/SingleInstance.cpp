#include "platform/SingleInstance.h"

#include "platform/HandOver.h"

#include <QLockFile>

SingleInstance::SingleInstance(const QString& mutexName) : m_name(mutexName) {}

SingleInstance::~SingleInstance()
{
    Release();
}

QString SingleInstance::LockPath(const QString& mutexName)
{
    const QString folder = HandOver::Folder();
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
    if (path.isEmpty())
        return false;
    auto lock = std::make_unique<QLockFile>(path);
    // Held as long as the process lives: never stale by age, only when its holder is gone.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
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
