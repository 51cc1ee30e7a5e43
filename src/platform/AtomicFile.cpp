#include "platform/AtomicFile.h"

#include "platform/FileDescriptor.h"
#include "platform/Path.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Creates a new file of a name of its own beside the target, never one that is there
// already; none, with errno set, when none can be made.
FileDescriptor CreateBeside(const QByteArray& target, QByteArray& temporary)
{
    for (int attempt = 0; attempt < 8; ++attempt)
    {
        const QByteArray name =
            target + ".new-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        FileDescriptor fd(
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (fd.IsOpen())
            temporary = name;
        if (fd.IsOpen() || errno != EEXIST)
            return fd;
    }
    return {};
}

QString ErrorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}
} // namespace

AtomicFile::AtomicFile(const QString& path) : m_path(Path::Resolve(path)) {}

AtomicFile::~AtomicFile()
{
    Abandon();
}

bool AtomicFile::Open()
{
    Abandon();
    QByteArray target = Path::EncodeName(m_path);
    // A link is written through, to the file it leads to.
    if (char* real = ::realpath(target.constData(), nullptr))
    {
        target = real;
        std::free(real);
    }
    struct stat existing;
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && (S_ISDIR(existing.st_mode) || ::access(target.constData(), W_OK) != 0))
    {
        m_error = ErrorText(S_ISDIR(existing.st_mode) ? EISDIR : EACCES);
        return false;
    }
    FileDescriptor fd = CreateBeside(target, m_temporary);
    if (!fd.IsOpen())
    {
        m_error = ErrorText(errno);
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    if (exists)
        ::fchmod(fd.Get(), existing.st_mode & 07777);
    m_target = target;
    m_file = std::make_unique<QFile>();
    if (!m_file->open(fd.Get(), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        return Fail();
    // The file closes it from now on.
    fd.Release();
    return true;
}

bool AtomicFile::Fail()
{
    m_error =
        m_file && m_file->error() != QFileDevice::NoError ? m_file->errorString() : ErrorText(EIO);
    Abandon();
    return false;
}

bool AtomicFile::Write(const char* data, qint64 size)
{
    if (!m_file)
        return false;
    qint64 done = 0;
    while (done < size)
    {
        const qint64 n = m_file->write(data + done, size - done);
        if (n <= 0)
            return Fail();
        done += n;
    }
    return true;
}

bool AtomicFile::Write(const QByteArray& bytes)
{
    return Write(bytes.constData(), bytes.size());
}

bool AtomicFile::Commit()
{
    if (!m_file)
        return false;
    // A short write may only show when the buffer goes out: give up on any write error
    // before the new file can take the old one's place.
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError)
        return Fail();
    if (::fsync(m_file->handle()) != 0)
    {
        m_error = ErrorText(errno);
        Abandon();
        return false;
    }
    m_file->close();
    m_file.reset();
    if (::rename(m_temporary.constData(), m_target.constData()) != 0)
    {
        m_error = ErrorText(errno);
        ::unlink(m_temporary.constData());
        m_temporary.clear();
        return false;
    }
    m_temporary.clear();
    return true;
}

void AtomicFile::Abandon()
{
    if (m_file)
    {
        m_file->close();
        m_file.reset();
    }
    if (!m_temporary.isEmpty())
    {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
    }
}

QString AtomicFile::ErrorString() const
{
    return m_error;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    AtomicFile file(path);
    const bool ok = file.Open() && file.Write(bytes) && file.Commit();
    if (!ok && error)
        *error = file.ErrorString();
    return ok;
}

bool ReplaceFile(const QString& path, QByteArrayView bytes, QString* error)
{
    FileReplacement file(path);
    file.Write(bytes);
    return file.Commit(error);
}

FileReplacement::FileReplacement(const QString& path)
    : m_target(Path::EncodeName(Path::Resolve(path)))
{
    m_fd = CreateBeside(m_target, m_temporary);
    if (!m_fd.IsOpen())
        Fail();
}

FileReplacement::~FileReplacement()
{
    m_fd.Reset();
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
}

bool FileReplacement::Fail()
{
    if (m_error == 0)
        m_error = errno != 0 ? errno : EIO;
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
        {
            if (n == 0)
                errno = EIO;
            return Fail();
        }
        done += n;
    }
    return true;
}

bool FileReplacement::Commit(QString* error)
{
    if (m_error == 0 && (!m_fd.Close() || !Exchange()))
        Fail();
    if (m_error == 0)
        m_temporary.clear();
    else if (error)
        *error = ErrorText(m_error);
    return m_error == 0;
}

bool FileReplacement::Exchange()
{
    // Swapped with the old file, which then goes: a plain rename over it would have the file
    // system write the new file out first, which costs more than making it. A folder where
    // the file goes is refused, as a rename refuses it.
    struct stat old;
    if (::lstat(m_target.constData(), &old) == 0 && S_ISDIR(old.st_mode))
    {
        errno = EISDIR;
        return false;
    }
    if (::renameat2(AT_FDCWD, m_temporary.constData(), AT_FDCWD, m_target.constData(),
                    RENAME_EXCHANGE) != 0)
        return ::rename(m_temporary.constData(), m_target.constData()) == 0;
    if (::lstat(m_temporary.constData(), &old) == 0 && S_ISDIR(old.st_mode))
    {
        // Made a folder meanwhile: it goes back.
        ::renameat2(AT_FDCWD, m_temporary.constData(), AT_FDCWD, m_target.constData(),
                    RENAME_EXCHANGE);
        errno = EISDIR;
        return false;
    }
    ::unlink(m_temporary.constData());
    return true;
}
