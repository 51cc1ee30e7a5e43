#include "common/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

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

QString WindowsStandinFolder()
{
    return QStringLiteral(QUORVANE_WINDOWS_STANDIN_DIR);
}

namespace
{
int CountLive(qint64 group)
{
    int live = 0;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids)
    {
        if (pid.toLongLong() <= 0)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid pgrp ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields.at(2).toLongLong() == group && fields.at(0) != "Z")
            ++live;
    }
    return live;
}
} // namespace

int LiveProcessesOfGroup(qint64 group, int ms)
{
    QElapsedTimer timer;
    timer.start();
    int live = CountLive(group);
    while (live > 0 && timer.elapsed() < ms)
    {
        QThread::msleep(5);
        live = CountLive(group);
    }
    return live;
}
} // namespace TestSupport
