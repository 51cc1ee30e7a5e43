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
} // namespace TestSupport
