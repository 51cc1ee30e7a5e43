#include "Ostrelin/model/PathHelpers.h"

#include "platform/Path.h"

#include <QDir>

QString AppendPath(const QString& path, const QString& relative)
{
    QString more = Path::ToNative(relative);
    while (more.startsWith(u'/'))
        more.remove(0, 1);
    if (path.isEmpty())
        return QDir::cleanPath(more);
    if (more.isEmpty())
        return path;
    return QDir::cleanPath(Path::RemoveBackslash(path) + u'/' + more);
}

QString GetFileNamePart(const QString& path)
{
    return Path::FindFileName(path);
}

QString GetFileNameOf(const QString& path)
{
    return Path::FindFileName(path);
}

QString GetExtensionOf(const QString& path)
{
    return Path::FindExtension(path);
}

void RemoveTrailingBackslash(QString& path)
{
    path = Path::RemoveBackslash(path);
}
