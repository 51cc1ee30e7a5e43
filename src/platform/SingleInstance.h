#pragma once
// A named single-instance guard (per user), held until destruction. A lock left by a
// process that died is taken over.
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

    // False when another live process holds the name.
    bool TryAcquire();
    bool IsHeld() const;
    void Release();

    // The lock file used for the name.
    static QString LockPath(const QString& mutexName);

private:
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
};
