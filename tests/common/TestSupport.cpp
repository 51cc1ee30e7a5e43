#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace TestSupport
{
QString NewFolder(const QString& name)
{
    static int counter = 0;
    const QString path = QDir::tempPath() + QStringLiteral("/%1-%2").arg(name).arg(++counter);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

QString WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString StandinFolder()
{
    return QStringLiteral(QUORVANE_STANDIN_DIR);
}
} // namespace TestSupport
