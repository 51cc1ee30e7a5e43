#pragma once
// Opening a document with the program the desktop registers for it, through a replaceable
// backend so tests record the calls.
#include <QString>
#include <QStringList>

class ShellBackend
{
public:
    virtual ~ShellBackend();
    virtual bool Open(const QString& path) = 0;
};

// Records the paths and answers true; installs itself, restores the previous one on destruction.
class RecordingShell : public ShellBackend
{
public:
    RecordingShell();
    ~RecordingShell() override;
    bool Open(const QString& path) override;
    QStringList opened;
    bool result = true;

private:
    ShellBackend* m_previous;
};

namespace Shell
{
// Opens the document; the result says whether the desktop accepted it.
bool Open(const QString& path);
ShellBackend& Current();
void SetBackend(ShellBackend* backend); // not owned; nullptr: the desktop
} // namespace Shell
