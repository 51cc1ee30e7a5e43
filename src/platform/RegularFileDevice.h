#pragma once
// A file that a user or another program names, read as a QIODevice only through the
// descriptor it was opened with (Path::OpenRegularFile: a pipe or a device is refused). Its
// size is the one taken at the open; a read that stops short of it (the file shrank) fails,
// and the device remembers that, so a decoder that leaves what it could not read blank is
// refused by its caller.
#include "platform/Path.h"

#include <QIODevice>

class RegularFileDevice : public QIODevice
{
public:
    // Open (read-only, unbuffered) when the path names a regular file.
    explicit RegularFileDevice(const QString& path);

    bool isSequential() const override { return false; }
    qint64 size() const override;
    // True once a read came short of the size taken at the open.
    bool HasFailed() const { return m_failed; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    Path::ReadOnlyFile m_file;
    bool m_failed = false;
};
