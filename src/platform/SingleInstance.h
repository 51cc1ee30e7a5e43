#pragma once
// A named single-instance guard, one per user and name, held until destruction: an abstract
// Unix socket named after the user id and the name. Nothing in the environment moves it, and
// the kernel releases it when its holder ends, however it ends.
#include "platform/FileDescriptor.h"

#include <QByteArray>
#include <QString>

class SingleInstance
{
public:
    explicit SingleInstance(const QString& mutexName);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another process (or another guard of this one) holds the name. True also
    // when no guard can be made (then nothing is held and start-up goes on).
    bool TryAcquire();
    bool IsHeld() const { return m_socket.IsOpen(); }
    void Release();

    // Whether another process holds the name as the programs hold it (outside any scope):
    // a test that starts a built program asks this first. Tried by binding and letting go.
    static bool IsHeldElsewhere(const QString& mutexName);

    // The socket's name without its leading NUL: "Quorvane-<uid>-" + the name in UTF-8.
    static QByteArray SocketName(const QString& mutexName);
    // Test programs run side by side, each as if on its own desktop: a scope set once at the
    // start of a test program goes into every name. The programs never set one.
    static void SetScope(const QByteArray& scope);

private:
    QString m_name;
    FileDescriptor m_socket;
};
