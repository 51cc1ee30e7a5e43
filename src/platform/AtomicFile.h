#pragma once
// Replacing a file so that a crash or failure never leaves half of it: the bytes go to a
// temporary file in the same folder, are flushed, and the file is renamed over the target.
#include "platform/FileDescriptor.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>

class QFile;

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// The same without waiting for the disk, for a file made anew from other data at every run
// (the bind tool's input): a failure or a crash of the program still leaves the old file
// whole, but after a crash of the system the new file may be empty. The file gets the
// permissions of a new file.
bool ReplaceFile(const QString& path, QByteArrayView bytes, QString* error = nullptr);

// The same, written piece by piece, so that a large file needs no buffer of its size.
class FileReplacement
{
public:
    explicit FileReplacement(const QString& path); // makes the new file beside the target
    ~FileReplacement();                            // drops it unless committed
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // False once anything failed; the rest is then not written.
    bool Write(QByteArrayView bytes);
    // Puts the new file in the target's place; false leaves the old file whole.
    bool Commit(QString* error = nullptr);

private:
    bool Fail();
    bool Exchange();

    QByteArray m_target; // both as the file system holds them
    QByteArray m_temporary;
    FileDescriptor m_fd;
    int m_error = 0;
};

class AtomicFile
{
public:
    explicit AtomicFile(const QString& path);
    ~AtomicFile(); // abandons the new contents unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool Open();
    bool Write(const QByteArray& bytes);
    bool Write(const char* data, qint64 size);
    // Flushes and renames over the target; false leaves the old file whole.
    bool Commit();
    void Abandon();
    QString ErrorString() const;
    QString Path() const { return m_path; }

private:
    // Keeps the reason and drops the new file; false.
    bool Fail();

    QString m_path;
    QByteArray m_target; // both as the file system holds them
    QByteArray m_temporary;
    std::unique_ptr<QFile> m_file;
    QString m_error;
};
