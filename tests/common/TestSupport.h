#pragma once
// Small helpers shared by the test programs.
#include <QByteArray>
#include <QString>

namespace TestSupport
{
// A fresh empty folder below the test's private temporary folder.
QString NewFolder(const QString& name = QStringLiteral("case"));

// Writes bytes to a file, creating its parent folders; returns the path.
QString WriteFile(const QString& path, const QByteArray& bytes);

QByteArray ReadFile(const QString& path);

// Where the stand-ins of the external tools are built.
QString StandinFolder();

// The processes of the group that are still alive (zombies waiting for their reaper count
// as ended); waits up to ms for the count to reach 0.
int LiveProcessesOfGroup(qint64 group, int ms = 2000);
} // namespace TestSupport

namespace TestSupport
{
// Where the Windows stand-ins are built; empty when the MinGW cross compiler was missing.
QString WindowsStandinFolder();

enum class WineSetup
{
    Ready,
    Unavailable, // Wine is not installed, or the stand-ins could not be built
    Failed,      // the prefix could not be made
};
// Makes Wine ready for the Windows stand-ins: this test program's own prefix (created by the
// first case that needs it, shared by the others), no display, no add-on installers. The
// reason tells why it is not ready.
WineSetup SetUpWine(QString& reason);
} // namespace TestSupport
