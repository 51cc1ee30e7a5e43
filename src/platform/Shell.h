#pragma once
// Opening a document with the program the desktop registers for it, through a replaceable
// backend so tests record the calls. GUI programs start the desktop's opener ("xdg-open") and
// hear when it cannot open the document; a console program hands the document to the
// desktop's opener as a process of its own.
#include "platform/Opener.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class ShellBackend
{
public:
    virtual ~ShellBackend();
    virtual bool Open(const QString& path, const OpenFailed& failed) = 0;
    virtual bool OpenDetached(const QString& path) = 0;
};

// Records the paths and answers true; installs itself, restores the previous one on destruction.
// A false answer of Open tells its failure handler, naming program, as the desktop's does.
class RecordingShell : public ShellBackend
{
public:
    RecordingShell();
    ~RecordingShell() override;
    bool Open(const QString& path, const OpenFailed& failed) override;
    bool OpenDetached(const QString& path) override;
    QStringList opened; // by both ways
    bool result = true;
    QString program = QStringLiteral("xdg-open");

private:
    ShellBackend* m_previous;
};

namespace Shell
{
// Opens the document through the desktop's opener, watched as Opener::Start says: false, and
// failed told, when the opener cannot be started; failed is told later when it ends with an
// error at once (the document or the program it needs could not be opened). Needs an event
// loop.
bool Open(const QString& path, const OpenFailed& failed = {});
// For console programs: when a desktop session answers, starts the desktop's opener
// ("xdg-open") on the document's URL as a separate process that is neither waited for nor tied
// to this one; true when it was started.
bool OpenDetached(const QString& path);
// True when the session's Wayland or X display accepts a connection: a display variable
// alone may be stale (a closed ssh tunnel, a variable kept by sudo).
bool DesktopSessionAnswers();
// The file URL of the (resolved) path, made from the bytes the file system holds, so that a
// name that is no text still names its file.
QByteArray FileUrl(const QString& path);
ShellBackend& Current();
void SetBackend(ShellBackend* backend); // not owned; nullptr: the desktop
} // namespace Shell
