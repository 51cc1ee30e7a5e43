#include "platform/AtomicFile.h"

#include "platform/Path.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

AtomicFile::AtomicFile(const QString& path) : m_path(Path::Resolve(path)) {}

AtomicFile::~AtomicFile()
{
    Abandon();
}

bool AtomicFile::Open()
{
    Abandon();
    m_file = std::make_unique<QSaveFile>(m_path);
    if (!m_file->open(QIODevice::WriteOnly))
    {
        m_error = m_file->errorString();
        m_file.reset();
        return false;
    }
    return true;
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
        {
            m_error = m_file->errorString();
            m_file->cancelWriting();
            return false;
        }
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
    // A short write may only show when the buffer goes out: QSaveFile's commit would rename
    // the cut file over the old one, so flush first and give up on any write error.
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError)
    {
        m_error = m_file->errorString();
        Abandon();
        return false;
    }
    const bool ok = m_file->commit();
    if (!ok)
        m_error = m_file->errorString();
    m_file.reset();
    return ok;
}

void AtomicFile::Abandon()
{
    if (m_file)
    {
        m_file->cancelWriting();
        m_file.reset();
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
    const QByteArray target = QFile::encodeName(Path::Resolve(path));
    QByteArray temporary;
    const auto fail = [&]
    {
        const int code = errno;
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(code));
        return false;
    };
    // A name of its own beside the target, never one that is there already.
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 8; ++attempt)
    {
        const QByteArray name =
            target + ".new-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0)
            temporary = name;
        else if (errno != EEXIST)
            break;
    }
    if (fd < 0)
        return fail();
    for (qsizetype done = 0; done < bytes.size();)
    {
        const ssize_t n = ::write(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            if (n == 0)
                errno = EIO;
            const int code = errno;
            ::close(fd);
            errno = code;
            return fail();
        }
        done += n;
    }
    if (::close(fd) != 0 || ::rename(temporary.constData(), target.constData()) != 0)
        return fail();
    return true;
}
