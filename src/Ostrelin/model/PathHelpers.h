#pragma once
// Path helpers of the hub.
#include <QString>

// The two parts joined with exactly one separator: the platform's append.
QString AppendPath(const QString& path, const QString& relative);
// The last component: everything after the last '/' or '\'.
QString GetFileNamePart(const QString& path);
// The last component of the path (either separator counts), "" for an empty path.
QString GetFileNameOf(const QString& path);
// The extension of the last component with its dot (".bmp"); "" when it has none.
QString GetExtensionOf(const QString& path);
// Removes trailing separators in place; a lone root "/" keeps its separator.
void RemoveTrailingBackslash(QString& path);
