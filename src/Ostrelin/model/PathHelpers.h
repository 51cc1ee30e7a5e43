#pragma once
// Path helpers of the hub.
#include <QString>

// The two parts joined with exactly one separator; "." and ".." segments are folded and a
// '\' in the relative part counts as a separator.
QString AppendPath(const QString& path, const QString& relative);
// The last component: everything after the last '/' or '\'.
QString GetFileNamePart(const QString& path);
