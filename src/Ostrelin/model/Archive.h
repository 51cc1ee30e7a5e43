#pragma once
// The binary archive of the project file: little-endian integers and length-prefixed
// strings. Loading checks every read against the bytes left and throws CArchiveException
// when the data ends early or a length cannot be right, so a reader never allocates more
// than the file holds.
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <stdexcept>

class CArchiveException : public std::runtime_error
{
public:
    enum Cause
    {
        endOfFile,
        badLength,
    };
    explicit CArchiveException(Cause cause);
    Cause m_cause;
};

class CArchive
{
public:
    // Storing into an empty buffer.
    explicit CArchive(const QString& filePath = {});
    // Loading from the given bytes.
    CArchive(const QByteArray& bytes, const QString& filePath);

    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }
    // Full path of the file the archive reads or writes.
    const QString& GetFilePath() const { return m_filePath; }

    void WriteBytes(const char* data, qsizetype size);
    void WriteU8(quint8 value);
    void WriteU16(quint16 value);
    void WriteU32(quint32 value);
    void WriteU64(quint64 value);
    // Always the wide form: marker FF FE FF, then the length in UTF-16 units, then the units.
    void WriteString(const QString& text);

    QByteArray ReadBytes(qsizetype size);
    quint8 ReadU8();
    quint16 ReadU16();
    quint32 ReadU32();
    quint64 ReadU64();
    // Wide strings after the marker; without it the bytes are code page 932.
    QString ReadString();
    // Throws badLength unless count items of itemSize bytes can still follow.
    void CheckCount(quint64 count, qsizetype itemSize) const;
    qsizetype Remaining() const { return m_bytes.size() - m_offset; }

    const QByteArray& Bytes() const { return m_bytes; }

private:
    const char* Take(qsizetype size);

    bool m_storing;
    QString m_filePath;
    QByteArray m_bytes;
    qsizetype m_offset = 0;
};
