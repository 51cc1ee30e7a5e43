#include "Ostrelin/model/Archive.h"

#include <QStringDecoder>
#include <QtEndian>

CArchiveException::CArchiveException(Cause cause)
    : std::runtime_error(cause == endOfFile ? "archive ends early" : "archive length is wrong"),
      m_cause(cause)
{
}

CArchive::CArchive(const QString& filePath) : m_storing(true), m_filePath(filePath) {}

CArchive::CArchive(const QByteArray& bytes, const QString& filePath)
    : m_storing(false), m_filePath(filePath), m_bytes(bytes)
{
}

void CArchive::WriteBytes(const char* data, qsizetype size)
{
    m_bytes.append(data, size);
}

void CArchive::WriteU8(quint8 value)
{
    m_bytes.append(char(value));
}

void CArchive::WriteU16(quint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    m_bytes.append(buffer, 2);
}

void CArchive::WriteU32(quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    m_bytes.append(buffer, 4);
}

void CArchive::WriteU64(quint64 value)
{
    char buffer[8];
    qToLittleEndian(value, buffer);
    m_bytes.append(buffer, 8);
}

void CArchive::WriteString(const QString& text)
{
    WriteU8(0xFF);
    WriteU16(0xFFFE);
    const quint64 length = quint64(text.size());
    if (length < 0xFF)
    {
        WriteU8(quint8(length));
    }
    else if (length < 0xFFFE)
    {
        WriteU8(0xFF);
        WriteU16(quint16(length));
    }
    else if (length < 0xFFFFFFFFu)
    {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(quint32(length));
    }
    else
    {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(0xFFFFFFFFu);
        WriteU64(length);
    }
    for (QChar c : text)
        WriteU16(c.unicode());
}

const char* CArchive::Take(qsizetype size)
{
    if (size < 0 || size > Remaining())
        throw CArchiveException(CArchiveException::endOfFile);
    const char* data = m_bytes.constData() + m_offset;
    m_offset += size;
    return data;
}

QByteArray CArchive::ReadBytes(qsizetype size)
{
    const char* data = Take(size);
    return QByteArray(data, size);
}

quint8 CArchive::ReadU8()
{
    return quint8(*Take(1));
}

quint16 CArchive::ReadU16()
{
    return qFromLittleEndian<quint16>(Take(2));
}

quint32 CArchive::ReadU32()
{
    return qFromLittleEndian<quint32>(Take(4));
}

quint64 CArchive::ReadU64()
{
    return qFromLittleEndian<quint64>(Take(8));
}

void CArchive::CheckCount(quint64 count, qsizetype itemSize) const
{
    if (itemSize > 0 && count > quint64(Remaining()) / quint64(itemSize))
        throw CArchiveException(CArchiveException::badLength);
}

QString CArchive::ReadString()
{
    qsizetype charSize = 1;
    quint64 length = ReadU8();
    if (length == 0xFF)
    {
        length = ReadU16();
        if (length == 0xFFFE)
        {
            // The wide marker; the length follows in its own forms.
            charSize = 2;
            length = ReadU8();
            if (length == 0xFF)
                length = ReadU16();
        }
        if (length == 0xFFFF)
        {
            length = ReadU32();
            if (length == 0xFFFFFFFFu)
                length = ReadU64();
        }
    }
    CheckCount(length, charSize);
    const qsizetype count = qsizetype(length);
    const char* data = Take(count * charSize);
    if (charSize == 1)
    {
        QStringDecoder decoder("CP932");
        return decoder.decode(QByteArrayView(data, count));
    }
    QString text(count, Qt::Uninitialized);
    for (qsizetype i = 0; i < count; ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(data + 2 * i));
    return text;
}
