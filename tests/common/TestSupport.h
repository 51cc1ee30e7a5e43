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
} // namespace TestSupport
