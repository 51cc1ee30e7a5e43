#include "platform/AtomicFile.h"

#include "platform/Path.h"

#include <QSaveFile>

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
