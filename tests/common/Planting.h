#pragma once
// What someone planting files may leave where a program writes one, made in a test folder.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace Planting
{
enum Planted
{
    PlainFile,    // "old"
    LinkOutside,  // to outside/victim
    DanglingLink, // to outside/missing
    LinkToDevice, // to outside/null, a node of the null device
    Fifo,
    FolderAtName,
    LinkAsFolder, // the folder `inside` is a link to outside/elsewhere
};
inline const char* const kNames[] = {
    "plain file", "link to a file outside", "dangling link",     "link to a device node",
    "pipe",       "folder at the name",     "link as the folder"};

// Plants the case at `target`; `named` becomes the file a link there names (else the target).
// False when this machine cannot make it (device nodes need the right to).
inline bool Plant(Planted planted, const QString& target, const QString& outside, QString& named,
                  const QString& inside = QString())
{
    QDir().mkpath(QFileInfo(target).path());
    named = target;
    switch (planted)
    {
    case PlainFile:
    {
        QFile file(target);
        return file.open(QIODevice::WriteOnly) && file.write("old") == 3;
    }
    case LinkOutside:
        named = outside + "/victim";
        return QFile::link(named, target);
    case DanglingLink:
        named = outside + "/missing";
        return QFile::link(named, target);
    case LinkToDevice:
        return ::mknod(QFile::encodeName(outside + "/null").constData(), S_IFCHR | 0666,
                       makedev(1, 3)) == 0 &&
               QFile::link(outside + "/null", target);
    case Fifo:
        return mkfifo(QFile::encodeName(target).constData(), 0600) == 0;
    case FolderAtName:
        return QDir().mkpath(target);
    case LinkAsFolder:
        QDir(inside).removeRecursively();
        QDir().mkpath(outside + "/elsewhere");
        return QFile::link(outside + "/elsewhere", inside);
    }
    return false;
}
} // namespace Planting
