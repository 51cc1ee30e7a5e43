#include "platform/RegularFileDevice.h"

#include <algorithm>

RegularFileDevice::RegularFileDevice(const QString& path) : m_file(Path::OpenRegularFile(path))
{
    if (m_file.IsOpen())
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 RegularFileDevice::size() const
{
    return std::max<qint64>(m_file.Size(), 0);
}

qint64 RegularFileDevice::readData(char* data, qint64 maxSize)
{
    const qint64 wanted = std::min(maxSize, size() - pos());
    if (wanted <= 0)
        return 0;
    const qint64 got = m_file.ReadAt(pos(), data, wanted);
    if (got != wanted)
    {
        m_failed = true;
        setErrorString(QStringLiteral("The file changed while it was read."));
        return -1;
    }
    return got;
}

qint64 RegularFileDevice::writeData(const char*, qint64)
{
    return -1;
}
