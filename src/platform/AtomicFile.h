#pragma once
// The one way the programs write a file. The bytes go to a new file made beside the target
// (never one that is there already, never through a link) and take the target's place by a
// rename only when whole, so a crash, a failure or a second run never leaves half a file.
// What happens at a link is chosen by what the file is.
#include "platform/FileDescriptor.h"
#include "platform/Path.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <optional>
#include <sys/stat.h>

enum class FileKind
{
    // A file made anew from other data at every run, in a folder the program was given: a
    // link at its name is replaced, never written through. Not waited for on the disk: after
    // a crash of the system the new file may be empty, the old one was whole until then.
    Output,
    // The author's own document (content file, project file): a link at its name is kept and
    // the file it names is replaced, with that file's permissions, as text editors do. The
    // file is on the disk before the rename, and the rename before the save reports success.
    // What a killed save left beside it goes at the next save.
    Document,
};

// A folder that outputs are written into, held open for the run: each file is made from
// the folder itself, and the folder is listed once, so that N files cost N steps.
class OutputFolder
{
public:
    // The folder the program was given; links on the way to it are followed (the user named
    // it), letter case is looked up as everywhere else.
    explicit OutputFolder(const QString& path);
    // The folder `relative` (one or more components) inside `parent`. A component that is a
    // link or no folder is refused: what is written below stays inside the parent.
    OutputFolder(const OutputFolder& parent, const QString& relative);
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    bool IsOpen() const { return m_fd.IsOpen(); }
    // The folder as shown in messages; when it could not be opened, the component refused.
    const QString& Folder() const { return m_folder; }
    // The reason it could not be opened (an errno value), 0 when open.
    int Error() const { return m_error; }

    // The name of an entry as the folder spells it: the entry of that name, else the first
    // (in name order) whose name matches ignoring case, else the name as given.
    QByteArray Spelling(const QString& name) const;
    // Removes the entry of that name (as Spelling finds it); true when it was removed.
    bool Remove(const QString& name) const;

private:
    friend class FileReplacement;
    int Fd() const { return m_fd.Get(); }
    void Remember(const QByteArray& native) const;
    void List() const;

    QString m_folder;
    FileDescriptor m_fd;
    int m_error = 0;
    mutable bool m_listed = false;
    mutable QHash<QString, QByteArray> m_names; // by case-folded name
};

// A replacement written piece by piece, so that a large file needs no buffer of its size.
class FileReplacement
{
public:
    // Makes the new file beside the target named by the path.
    explicit FileReplacement(const QString& path, FileKind kind = FileKind::Output);
    // The same for an output `name` in a folder held open.
    FileReplacement(const OutputFolder& folder, const QString& name);
    ~FileReplacement(); // drops the new file unless committed
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // False once anything failed; the rest is then not written.
    bool Write(QByteArrayView bytes);
    // Puts the new file in the target's place; false leaves the old file whole, with the
    // system's reason in `error`.
    bool Commit(QString* error = nullptr);

    // The errno value of the first failure, 0 while none.
    int Error() const { return m_error; }
    // The file now at the target, after a successful Commit.
    const std::optional<Path::FileIdentity>& Written() const { return m_written; }

    // The system's words for an errno value.
    static QString ErrorText(int code);

private:
    void Begin();
    bool Fail(int code);
    bool FindDocument(const QString& path);
    void RemoveLeftovers() const;
    bool Exchange();

    FileKind m_kind;
    const OutputFolder* m_folder = nullptr; // the folder held open, when given one
    FileDescriptor m_ownFolder;             // else the target's folder, opened here
    int m_dirFd = -1;
    QByteArray m_name; // both as the file system holds them, inside the folder
    QByteArray m_temporary;
    FileDescriptor m_fd;
    std::optional<struct ::stat> m_old; // the document being replaced, when there is one
    std::optional<Path::FileIdentity> m_written;
    int m_error = 0;
};

// The whole file in one call.
bool ReplaceFile(const QString& path, QByteArrayView bytes, QString* error = nullptr,
                 FileKind kind = FileKind::Output);
bool ReplaceFile(const OutputFolder& folder, const QString& name, QByteArrayView bytes,
                 QString* error = nullptr);
