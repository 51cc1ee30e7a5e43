#include "platform/SetAside.h"

#include "platform/Path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

// A real folder at the path (a link to one is not ours).
bool IsFolder(const QString& path)
{
    struct stat info;
    return ::lstat(Native(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QString Reason(const QString& path, int error)
{
    return path + QStringLiteral(": ") + qt_error_string(error);
}

// Renames without ever replacing what is at the target.
bool Rename(const QString& from, const QString& to, QString* error = nullptr)
{
    const QByteArray source = Native(from);
    const QByteArray target = Native(to);
    int result =
        ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS))
    {
        // A file system without the flag: nothing may be at the target.
        struct stat info;
        if (::lstat(target.constData(), &info) == 0)
            errno = EEXIST;
        else
            result = ::rename(source.constData(), target.constData());
    }
    if (result != 0 && error)
        *error = Reason(from, errno);
    return result == 0;
}

bool MakeFolder(const QString& path, QString* error)
{
    if (::mkdir(Native(path).constData(), 0700) == 0)
        return true;
    if (error)
        *error = Reason(path, errno);
    return false;
}

// The folder where it really lies: a folder reached through a link is held beside the
// folder itself, on its file system.
QString RealFolder(const QString& folder)
{
    const QString resolved = Path::Resolve(folder);
    const QString real = QFileInfo(resolved).canonicalFilePath();
    return real.isEmpty() ? resolved : real;
}

QString Beside(const QString& folder, const char* state)
{
    const QString real = RealFolder(folder);
    return Path::RemoveFileSpec(real) + QStringLiteral("/.") + Path::FindFileName(real) + u'.' +
           QLatin1String(state);
}

bool Taken(const QString& path)
{
    struct stat info;
    return ::lstat(Native(path).constData(), &info) == 0;
}
} // namespace

SetAside::SetAside(const QString& folder, QStringList patterns, Kind kind)
    : m_folder(folder), m_patterns(std::move(patterns)), m_kind(kind)
{
}

SetAside::SetAside(const QString& folder, const QString& pattern)
    : SetAside(folder, QStringList{pattern}, Kind::Files)
{
}

SetAside::~SetAside()
{
    Restore();
}

QString SetAside::AsideFolderOf(const QString& folder)
{
    return Beside(folder, "aside");
}

QString SetAside::MovingFolder() const
{
    return Beside(m_folder, "moving");
}

QString SetAside::RestoringFolder() const
{
    return Beside(m_folder, "restoring");
}

QString SetAside::DiscardFolder() const
{
    return Beside(m_folder, "discard");
}

QStringList SetAside::Entries(const QString& folder) const
{
    QStringList entries;
    if (!IsFolder(folder))
        return entries;
    for (const QString& name : Path::Find(folder, QStringLiteral("*")))
    {
        const bool named = std::any_of(m_patterns.begin(), m_patterns.end(),
                                       [&name](const QString& pattern)
                                       { return Path::MatchesPattern(name, pattern); });
        struct stat info;
        if (!named || ::lstat(Native(folder + u'/' + name).constData(), &info) != 0)
            continue;
        if (m_kind == Kind::Folders ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode))
            entries << name;
    }
    return entries;
}

void SetAside::RemoveDiscard()
{
    const QString discard = DiscardFolder();
    if (IsFolder(discard))
        QDir(discard).removeRecursively();
}

bool SetAside::DiscardRunEntries()
{
    RemoveDiscard();
    const QString folder = RealFolder(m_folder);
    const QStringList entries = Entries(folder);
    if (entries.isEmpty())
        return true;
    // Moved out first, so a crash while they are removed leaves them where Recover drops them.
    const QString discard = DiscardFolder();
    if (!MakeFolder(discard, nullptr))
        return false;
    for (const QString& name : entries)
        Rename(folder + u'/' + name, discard + u'/' + name);
    RemoveDiscard();
    return Entries(folder).isEmpty();
}

bool SetAside::MoveBack(const QString& from)
{
    const QString folder = RealFolder(m_folder);
    if (!IsFolder(folder) && !Path::CreateDirectory(folder))
        return false;
    bool whole = true;
    for (const QString& name : Path::Find(from, QStringLiteral("*")))
        whole = Rename(from + u'/' + name, folder + u'/' + name) && whole;
    return whole && ::rmdir(Native(from).constData()) == 0;
}

bool SetAside::Recover()
{
    // Anything but a folder of ours at a hidden name is someone else's: taken away unfollowed.
    for (const QString& beside :
         {HoldingFolder(), MovingFolder(), RestoringFolder(), DiscardFolder()})
    {
        if (Taken(beside) && !IsFolder(beside))
            ::unlink(Native(beside).constData());
    }
    RemoveDiscard();
    bool recovered = true;
    // Moving aside: the rest never left the folder. Putting back: the run's entries are gone.
    for (const QString& partly : {MovingFolder(), RestoringFolder()})
    {
        if (IsFolder(partly))
            recovered = MoveBack(partly) && recovered;
    }
    // All aside: the run that followed may have written some of its own.
    if (IsFolder(HoldingFolder()))
        recovered = PutHeldBack() && recovered;
    return recovered;
}

void SetAside::Recover(const QString& folder, const QString& pattern)
{
    SetAside(folder, pattern).Recover();
}

bool SetAside::Move(QString* error)
{
    if (m_begun)
        return true;
    // A run that is not over yet, or someone else's entry, at a hidden name.
    for (const QString& beside : {HoldingFolder(), MovingFolder(), RestoringFolder()})
    {
        if (Taken(beside))
        {
            if (error)
                *error = Reason(beside, EEXIST);
            return false;
        }
    }
    const QString folder = RealFolder(m_folder);
    const QStringList entries = Entries(folder);
    if (!entries.isEmpty())
    {
        const QString moving = MovingFolder();
        if (!MakeFolder(moving, error))
            return false;
        for (const QString& name : entries)
        {
            if (!Rename(folder + u'/' + name, moving + u'/' + name, error))
            {
                MoveBack(moving);
                return false;
            }
        }
        if (!Rename(moving, HoldingFolder(), error))
        {
            MoveBack(moving);
            return false;
        }
    }
    m_begun = true;
    return true;
}

void SetAside::Discard()
{
    if (!m_begun)
        return;
    m_begun = false;
    const QString holding = HoldingFolder();
    if (!IsFolder(holding))
        return;
    RemoveDiscard();
    // One rename ends the holding folder's life, so no crash can put old entries back over
    // the run's.
    if (Rename(holding, DiscardFolder()))
        RemoveDiscard();
    else
        QDir(holding).removeRecursively();
}

bool SetAside::Restore()
{
    if (!m_begun)
        return true;
    m_begun = false;
    return PutHeldBack();
}

bool SetAside::PutHeldBack()
{
    const bool discarded = DiscardRunEntries();
    const QString holding = HoldingFolder();
    if (!IsFolder(holding))
        return discarded;
    const QString restoring = RestoringFolder();
    return Rename(holding, restoring) && MoveBack(restoring) && discarded;
}
