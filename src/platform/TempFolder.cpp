#include "platform/TempFolder.h"

#include "platform/PrivateFolder.h"

#include <QDir>
#include <unistd.h>

QString TempFolder()
{
    QString base = qEnvironmentVariable("TMPDIR");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QStringLiteral("/tmp");
    while (base.size() > 1 && base.endsWith(u'/'))
        base.chop(1);
    const QString folder = base + QStringLiteral("/quorvane-") + QString::number(getuid());
    return MakePrivateFolder(folder) ? folder : QString();
}
