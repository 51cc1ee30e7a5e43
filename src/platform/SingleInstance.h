#pragma once
// A named single-instance guard (per user), held until destruction. A lock left by a
// process that died is taken over. The lock lies in $XDG_RUNTIME_DIR/Quorvane, else in the
// private temporary folder.
#include <QString>
#include <memory>

class QLockFile;

class SingleInstance
{
public:
    explicit SingleInstance(const QString& mutexName);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another live process holds the name. True also when no lock file can be
    // made (then nothing is held and start-up goes on).
    bool TryAcquire();
    bool IsHeld() const;
    void Release();

    // The lock file used for the name.
    static QString LockPath(const QString& mutexName);

private:
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
};
