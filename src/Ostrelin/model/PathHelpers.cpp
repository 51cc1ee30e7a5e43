#include "Ostrelin/model/PathHelpers.h"

#include "platform/Path.h"

QString AppendPath(const QString& path, const QString& relative)
{
    return Path::Append(path, relative);
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
