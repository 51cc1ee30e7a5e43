#include "platform/TempFolder.h"

#include "platform/Path.h"

#include <QDir>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

QString TempFolder()
{
    QString base = qEnvironmentVariable("TMPDIR");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QStringLiteral("/tmp");
    while (base.size() > 1 && base.endsWith(u'/'))
        base.chop(1);
    const QString folder = base + QStringLiteral("/quorvane-") + QString::number(getuid());
    const QByteArray native = Path::EncodeName(folder);
    if (mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    // Someone else may have made it first: it must be our own real folder, closed to others.
    struct stat st;
    if (lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return QString();
    if ((st.st_mode & 0077) != 0 && chmod(native.constData(), 0700) != 0)
        return QString();
    return folder;
}
