#include "platform/AtomicFile.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace
{
constexpr char TemporaryMark[] = ".new-";
// Links followed from a document's name to the file it names, as the kernel allows.
constexpr int MaxLinkHops = 40;

QString Folded(const QString& name)
{
    return name.toCaseFolded();
}

// The entry of the open folder whose name matches ignoring case, first in name order;
// empty when none does.
QByteArray CaseMatch(const FileDescriptor& folder, const QString& name)
{
    const QString key = Folded(name);
    QString best;
    QByteArray native;
    if (const FolderListing dir = OpenFolderListing(folder))
        while (const dirent* e = readdir(dir.get()))
        {
            const QString entry = Path::DecodeName(e->d_name);
            if (Folded(entry) == key && (best.isEmpty() || Path::ListedBefore(entry, best)))
            {
                best = entry;
                native = e->d_name;
            }
        }
    return native;
}

bool IsTemporaryOf(const char* entry, const QByteArray& name)
{
    const qsizetype lead = name.size() + qsizetype(sizeof TemporaryMark - 1);
    if (std::strncmp(entry, name.constData(), std::size_t(name.size())) != 0 ||
        std::strncmp(entry + name.size(), TemporaryMark, sizeof TemporaryMark - 1) != 0)
        return false;
    const char* tail = entry + lead;
    if (*tail == 0)
        return false;
    for (; *tail; ++tail)
        if (!((*tail >= '0' && *tail <= '9') || (*tail >= 'a' && *tail <= 'z')))
            return false;
    return true;
}
} // namespace

QString FileReplacement::ErrorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

OutputFolder::OutputFolder(const QString& path)
    : m_folder(Path::Resolve(Path::RemoveBackslash(path.isEmpty() ? QStringLiteral(".") : path))),
      m_fd(::open(Path::EncodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (!m_fd.IsOpen())
        m_error = errno;
}

OutputFolder::OutputFolder(const OutputFolder& parent, const QString& relative)
    : m_folder(parent.m_folder), m_error(parent.m_error)
{
    if (!parent.IsOpen())
        return;
    const FileDescriptor* at = &parent.m_fd;
    FileDescriptor walked;
    for (const QString& part : Path::ToNative(relative).split(u'/', Qt::SkipEmptyParts))
    {
        m_folder = Path::Append(m_folder, part);
        QByteArray native = at == &parent.m_fd ? parent.Spelling(part) : Path::EncodeName(part);
        struct stat st;
        if (at != &parent.m_fd && fstatat(at->Get(), native.constData(), &st, AT_SYMLINK_NOFOLLOW))
            if (const QByteArray match = CaseMatch(*at, part); !match.isEmpty())
                native = match;
        // A link is refused, not followed: the outputs would land wherever it leads.
        FileDescriptor next(::openat(at->Get(), native.constData(),
                                     O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.IsOpen())
        {
            m_error = errno == ELOOP ? ENOTDIR : errno;
            return;
        }
        walked = std::move(next);
        at = &walked;
    }
    if (at == &parent.m_fd)
        walked.Reset(::fcntl(parent.m_fd.Get(), F_DUPFD_CLOEXEC, 0));
    m_fd = std::move(walked);
    m_error = m_fd.IsOpen() ? 0 : errno;
}

void OutputFolder::List() const
{
    if (m_listed)
        return;
    m_listed = true;
    if (const FolderListing dir = OpenFolderListing(m_fd))
        while (const dirent* e = readdir(dir.get()))
            Remember(e->d_name);
}

void OutputFolder::Remember(const QByteArray& native) const
{
    if (!m_listed)
        return;
    const QString name = Path::DecodeName(native);
    const QString key = Folded(name);
    const auto at = m_names.find(key);
    if (at == m_names.end())
        m_names.insert(key, native);
    else if (Path::ListedBefore(name, Path::DecodeName(*at)))
        *at = native;
}

QByteArray OutputFolder::Spelling(const QString& name) const
{
    const QByteArray native = Path::EncodeName(name);
    struct stat st;
    if (!IsOpen() || fstatat(m_fd.Get(), native.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return native;
    List();
    const auto at = m_names.constFind(Folded(name));
    return at == m_names.constEnd() ? native : *at;
}

bool OutputFolder::Remove(const QString& name) const
{
    const QByteArray native = Spelling(name);
    if (!IsOpen() || ::unlinkat(m_fd.Get(), native.constData(), 0) != 0)
        return false;
    if (m_listed)
        m_names.remove(Folded(Path::DecodeName(native)));
    return true;
}

FileReplacement::FileReplacement(const QString& path, FileKind kind) : m_kind(kind)
{
    if (path.isEmpty())
    {
        Fail(ENOENT);
        return;
    }
    if (kind == FileKind::Document)
    {
        if (FindDocument(path))
            Begin();
        return;
    }
    const QString resolved = Path::Resolve(path);
    const QString name = Path::FindFileName(resolved);
    if (name.isEmpty() || name == u"." || name == u"..")
    {
        Fail(EISDIR);
        return;
    }
    const QString folder = Path::RemoveFileSpec(resolved);
    m_ownFolder.Reset(::open(folder.isEmpty() ? "." : Path::EncodeName(folder).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_ownFolder.IsOpen())
    {
        Fail(errno);
        return;
    }
    m_dirFd = m_ownFolder.Get();
    m_name = Path::EncodeName(name);
    Begin();
}

FileReplacement::FileReplacement(const OutputFolder& folder, const QString& name)
    : m_kind(FileKind::Output), m_folder(&folder)
{
    if (!folder.IsOpen())
    {
        Fail(folder.Error());
        return;
    }
    if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u"..")
    {
        Fail(EINVAL);
        return;
    }
    m_dirFd = folder.Fd();
    m_name = folder.Spelling(name);
    Begin();
}

bool FileReplacement::FindDocument(const QString& path)
{
    // The file the name leads to, link after link; it need not exist yet.
    QByteArray target = Path::EncodeName(Path::Resolve(path));
    for (int hop = 0;; ++hop)
    {
        if (hop == MaxLinkHops)
            return Fail(ELOOP);
        struct stat st;
        if (::lstat(target.constData(), &st) != 0)
        {
            if (errno != ENOENT)
                return Fail(errno);
            break;
        }
        if (!S_ISLNK(st.st_mode))
        {
            // A folder, a pipe or a device is no document: it is neither opened nor replaced.
            if (S_ISDIR(st.st_mode))
                return Fail(EISDIR);
            if (!S_ISREG(st.st_mode))
                return Fail(EINVAL);
            if (::access(target.constData(), W_OK) != 0)
                return Fail(errno);
            m_old = st;
            break;
        }
        char link[PATH_MAX];
        const ssize_t size = ::readlink(target.constData(), link, sizeof link);
        if (size < 0 || size == ssize_t(sizeof link))
            return Fail(size < 0 ? errno : ENAMETOOLONG);
        const QByteArray next(link, size);
        if (next.startsWith('/'))
            target = next;
        else
            target = target.left(target.lastIndexOf('/') + 1) + next;
    }
    const qsizetype slash = target.lastIndexOf('/');
    m_name = target.mid(slash + 1);
    if (m_name.isEmpty() || m_name == "." || m_name == "..")
        return Fail(EISDIR);
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : target.left(slash);
    m_ownFolder.Reset(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_ownFolder.IsOpen())
        return Fail(errno);
    m_dirFd = m_ownFolder.Get();
    return true;
}

void FileReplacement::Begin()
{
    if (m_kind == FileKind::Document)
        RemoveLeftovers();
    else if (struct stat st; fstatat(m_dirFd, m_name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                             S_ISDIR(st.st_mode))
    {
        // Known before anything is written; the commit checks again.
        Fail(EISDIR);
        return;
    }
    for (int attempt = 0; attempt < 8; ++attempt)
    {
        const QByteArray name = m_name + TemporaryMark +
                                QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        m_fd.Reset(::openat(m_dirFd, name.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666));
        if (m_fd.IsOpen())
        {
            m_temporary = name;
            break;
        }
        if (errno != EEXIST)
            break;
    }
    if (!m_fd.IsOpen())
    {
        Fail(errno);
        return;
    }
    if (m_kind == FileKind::Document)
    {
        // Held while the save runs, so that another save's clean-up leaves this file alone.
        ::flock(m_fd.Get(), LOCK_EX);
        if (m_old)
        {
            // The document keeps its owner (where the system allows) and its permissions.
            if (m_old->st_uid != ::geteuid() || m_old->st_gid != ::getegid())
                (void)::fchown(m_fd.Get(), m_old->st_uid, m_old->st_gid);
            ::fchmod(m_fd.Get(), m_old->st_mode & 07777);
        }
    }
}

void FileReplacement::RemoveLeftovers() const
{
    // Files of saves that were killed before their rename: no live save holds their lock.
    const FolderListing dir = OpenFolderListing(m_ownFolder);
    if (!dir)
        return;
    while (const dirent* e = readdir(dir.get()))
    {
        if (!IsTemporaryOf(e->d_name, m_name))
            continue;
        FileDescriptor left(::openat(m_dirFd, e->d_name,
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat st;
        if (left.IsOpen() && fstat(left.Get(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::flock(left.Get(), LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(m_dirFd, e->d_name, 0);
    }
}

FileReplacement::~FileReplacement()
{
    m_fd.Reset();
    if (!m_temporary.isEmpty())
        ::unlinkat(m_dirFd, m_temporary.constData(), 0);
}

bool FileReplacement::Fail(int code)
{
    if (m_error == 0)
        m_error = code != 0 ? code : EIO;
    m_fd.Reset();
    return false;
}

bool FileReplacement::Write(QByteArrayView bytes)
{
    if (m_error != 0)
        return false;
    for (qsizetype done = 0; done < bytes.size();)
    {
        const ssize_t n =
            ::write(m_fd.Get(), bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Fail(n == 0 ? EIO : errno);
        done += n;
    }
    return true;
}

bool FileReplacement::Commit(QString* error)
{
    const auto finish = [&]
    {
        if (m_error == 0)
            m_temporary.clear();
        else if (error)
            *error = ErrorText(m_error);
        return m_error == 0;
    };
    if (m_error != 0)
        return finish();
    struct stat st;
    if (m_kind == FileKind::Document && ::fsync(m_fd.Get()) != 0)
        Fail(errno);
    else if (fstat(m_fd.Get(), &st) != 0)
        Fail(errno);
    else if (!m_fd.Close())
        Fail(errno);
    else if (m_kind == FileKind::Document)
    {
        if (::renameat(m_dirFd, m_temporary.constData(), m_dirFd, m_name.constData()) != 0)
            Fail(errno);
        else
            ::fsync(m_dirFd);
    }
    else if (!Exchange())
        Fail(errno);
    if (m_error == 0)
    {
        m_written = Path::IdentityFromStat(st);
        if (m_folder)
            m_folder->Remember(m_name);
    }
    return finish();
}

bool FileReplacement::Exchange()
{
    // Swapped with the old entry, which then goes: a plain rename over a file would have the
    // file system write the new file out first, which costs more than making it. Whatever
    // the entry is (a link, a pipe, a device node), only the entry goes. A folder where the
    // file goes is refused, as a rename refuses it.
    struct stat old;
    const char* temporary = m_temporary.constData();
    const char* target = m_name.constData();
    if (fstatat(m_dirFd, target, &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(old.st_mode))
    {
        errno = EISDIR;
        return false;
    }
    if (::renameat2(m_dirFd, temporary, m_dirFd, target, RENAME_EXCHANGE) != 0)
        return ::renameat(m_dirFd, temporary, m_dirFd, target) == 0;
    if (fstatat(m_dirFd, temporary, &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(old.st_mode))
    {
        // Made a folder meanwhile: it goes back.
        ::renameat2(m_dirFd, temporary, m_dirFd, target, RENAME_EXCHANGE);
        errno = EISDIR;
        return false;
    }
    ::unlinkat(m_dirFd, temporary, 0);
    return true;
}

bool ReplaceFile(const QString& path, QByteArrayView bytes, QString* error, FileKind kind)
{
    FileReplacement file(path, kind);
    file.Write(bytes);
    return file.Commit(error);
}

bool ReplaceFile(const OutputFolder& folder, const QString& name, QByteArrayView bytes,
                 QString* error)
{
    FileReplacement file(folder, name);
    file.Write(bytes);
    return file.Commit(error);
}
