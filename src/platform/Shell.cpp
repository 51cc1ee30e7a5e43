#include "platform/Shell.h"

#include "platform/Path.h"

#include <QDesktopServices>
#include <QUrl>

namespace
{
class DesktopShell : public ShellBackend
{
public:
    bool Open(const QString& path) override
    {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(Path::Resolve(path)));
    }
};

DesktopShell g_desktop;
ShellBackend* g_shell = nullptr;
} // namespace

ShellBackend::~ShellBackend() = default;

RecordingShell::RecordingShell() : m_previous(&Shell::Current())
{
    Shell::SetBackend(this);
}

RecordingShell::~RecordingShell()
{
    if (&Shell::Current() == this)
        Shell::SetBackend(m_previous);
}

bool RecordingShell::Open(const QString& path)
{
    opened << path;
    return result;
}

ShellBackend& Shell::Current()
{
    return g_shell ? *g_shell : g_desktop;
}

void Shell::SetBackend(ShellBackend* backend)
{
    g_shell = backend;
}

bool Shell::Open(const QString& path)
{
    return Current().Open(path);
}
