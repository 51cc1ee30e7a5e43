#include "platform/SetAside.h"

#include "platform/Path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{
// The folder where it really lies: the hidden folders go beside that, on its file system.
QString RealFolder(const QString& folder)
{
    const QString resolved = Path::Resolve(folder);
    const QString real = QFileInfo(resolved).canonicalFilePath();
    return real.isEmpty() ? resolved : real;
}

QString HiddenBeside(const QString& folder, const char* suffix)
{
    const QFileInfo real(RealFolder(folder));
    return real.path() + QStringLiteral("/.") + real.fileName() + QLatin1String(suffix);
}

QString DiscardFolderOf(const QString& folder)
{
    return HiddenBeside(folder, ".discard");
}

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

// A folder of ours at the path: made by mkdir, so no link and no file.
bool IsRealFolder(const QString& path)
{
    struct stat status;
    return ::lstat(Native(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool Exists(const QString& path)
{
    struct stat status;
    return ::lstat(Native(path).constData(), &status) == 0;
}

// Moves the matching files of `from` into `to` by their bytes.
bool MoveFiles(const QString& from, const QString& to, const QString& pattern)
{
    const Path::FolderReader reader(from);
    const QByteArray target = Native(to);
    for (const Path::Entry& entry : reader.Find(pattern, Path::FindFilesOnly))
    {
        const QByteArray source = reader.NativeFolder() + '/' + entry.native;
        if (std::rename(source.constData(), (target + '/' + entry.native).constData()) != 0)
            return false;
    }
    return true;
}

// Every entry of the hidden folder back into the folder, over the run's files of the same
// names; the hidden folder goes once it is empty. False when one stays.
bool MoveBack(const QString& aside, const QString& folder)
{
    const QByteArray from = Native(aside);
    const QByteArray to = Native(Path::Resolve(folder));
    bool whole = true;
    Path::ForEachNativeName(
        aside,
        [&](const char* name)
        {
            const QByteArray source = from + '/' + name;
            if (std::rename(source.constData(), (to + '/' + name).constData()) != 0)
                whole = false;
        });
    return whole && ::rmdir(from.constData()) == 0;
}

// The files a failed run wrote under the pattern.
void RemoveMatching(const QString& folder, const QString& pattern)
{
    const Path::FolderReader reader(folder);
    for (const Path::Entry& entry : reader.Find(pattern, Path::FindFilesOnly))
        ::unlink((reader.NativeFolder() + '/' + entry.native).constData());
}
} // namespace

SetAside::SetAside(QString folder, QString pattern)
    : m_folder(std::move(folder)), m_pattern(std::move(pattern))
{
}

SetAside::~SetAside()
{
    Restore();
}

QString SetAside::AsideFolderOf(const QString& folder)
{
    return HiddenBeside(folder, ".aside");
}

bool SetAside::Move()
{
    if (m_held)
        return true;
    const QString aside = AsideFolderOf(m_folder);
    if (::mkdir(Native(aside).constData(), 0700) != 0)
        return false;
    if (!MoveFiles(Path::Resolve(m_folder), aside, m_pattern))
    {
        MoveBack(aside, m_folder);
        return false;
    }
    m_held = true;
    return true;
}

void SetAside::Restore()
{
    if (!m_held)
        return;
    m_held = false;
    RemoveMatching(m_folder, m_pattern);
    MoveBack(AsideFolderOf(m_folder), m_folder);
}

void SetAside::Discard()
{
    if (!m_held)
        return;
    m_held = false;
    // Renamed first, so a run killed while the files go never puts the old ones back.
    const QString discard = DiscardFolderOf(m_folder);
    if (std::rename(Native(AsideFolderOf(m_folder)).constData(), Native(discard).constData()) == 0)
        QDir(discard).removeRecursively();
}

void SetAside::Recover(const QString& folder, const QString& pattern)
{
    const QString discard = DiscardFolderOf(folder);
    if (IsRealFolder(discard))
        QDir(discard).removeRecursively();
    const QString aside = AsideFolderOf(folder);
    if (IsRealFolder(aside))
    {
        // The folder itself may have gone with the run's files.
        if (Path::CreateDirectory(folder))
        {
            RemoveMatching(folder, pattern);
            MoveBack(aside, folder);
        }
        return;
    }
    // Anything else at the hidden names (a link, a file) is none of ours to follow.
    for (const QString& path : {aside, discard})
        if (Exists(path) && !IsRealFolder(path))
            ::unlink(Native(path).constData());
}
