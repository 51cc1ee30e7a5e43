#pragma once
// Path helpers in the programs' own terms, on native '/' paths. The programs were made for
// a file system that ignores letter case: Resolve maps a path onto the entries that exist,
// and every exists / open / find / create goes through it.
#include "platform/FileDescriptor.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

struct stat;

namespace Path
{
// a + one separator + b, both made native; leading separators of b are dropped ("\\Tools"
// appends "Tools") and "." and ".." segments are folded ("/p" + "./x/../y" is "/p/y"), like
// the original's append.
QString Append(const QString& a, const QString& b);
// "a b" -> "\"a b\"" when the text holds a blank and is not quoted yet.
QString QuoteSpaces(const QString& path);
// Removes one pair of double quotes only when the text both begins and ends with one.
QString UnquoteSpaces(const QString& path);
// The folder part: "/a/b.txt" -> "/a", "/a" -> "/", "b.txt" -> "".
QString RemoveFileSpec(const QString& path);
// The last component: "/a/b.txt" -> "b.txt" (the whole text when there is no separator).
QString FindFileName(const QString& path);
// The extension with its dot of the last component ("" when none): "a/b.c.txt" -> ".txt".
QString FindExtension(const QString& path);
QString RemoveExtension(const QString& path);
// Replaces (or adds) the extension; ext carries its dot (".bin").
QString RenameExtension(const QString& path, const QString& ext);
// Removes trailing separators, keeping a lone root "/".
QString RemoveBackslash(const QString& path);
// Ends the path with exactly one separator ("" stays "").
QString AddBackslash(const QString& path);
bool IsRelative(const QString& path);
// Absolute ("/...") and not a network form ("//...").
bool IsAbsoluteLocal(const QString& path);
// Turns '\' into the native '/'.
QString ToNative(const QString& path);

// A file name's bytes as text and back, without loss: UTF-8, and each byte that is no part
// of a valid UTF-8 sequence kept as the lone surrogate U+DC00 + byte. A name the user typed
// or a command line gave reaches the file system as the very bytes it came from.
QString DecodeName(QByteArrayView native);
QByteArray EncodeName(QStringView name);
// True when the unit at `at` of DecodeName's text stands for such a byte: its low 8 bits.
bool IsKeptByte(QStringView name, qsizetype at);

// Maps the path onto existing entries component by component: the exact name when it
// exists, else the first (in name order) entry whose name matches ignoring case; the rest
// from the first unmatched component on is kept as given.
QString Resolve(const QString& path);
bool FileExists(const QString& path);  // any entry, after Resolve
bool IsDirectory(const QString& path); // after Resolve
bool IsRegularFile(const QString& path);
// The size and last modification (milliseconds since the epoch) of a regular file, links
// followed; the exact name first, as Resolve takes it, then through Resolve. Nothing when
// the path leads to no regular file.
struct FileStamp
{
    qint64 size = 0;
    qint64 modified = 0;
};
std::optional<FileStamp> StampOf(const QString& path);

enum FindFlags : unsigned
{
    FindAll = 0,
    FindFilesOnly = 1,   // regular files only
    FindFoldersOnly = 2, // folders only ("." and ".." never listed)
};
// Names (not paths) of the entries of the (resolved) folder matching the wildcard pattern
// ('*' any run, '?' one character, case ignored; "*.*" matches every name), sorted by
// name ignoring case (by the upper-case form, the original file system's order).
QStringList Find(const QString& folder, const QString& pattern, unsigned flags = FindAll);
// True when the name matches the wildcard pattern under the rules above.
bool MatchesPattern(const QString& name, const QString& pattern);
// True when a comes before b in Find's order.
bool ListedBefore(const QString& a, const QString& b);

// Each entry name of the folder as the bytes the file system holds, in the folder's own
// order ("." and ".." left out); nothing when it cannot be listed. For callers that match
// names themselves and need no sorted, decoded listing.
void ForEachNativeName(const QString& folder, const std::function<void(const char*)>& visit);

// The first `count` bytes of the (resolved) regular file, zero-filled beyond its end, read
// with one call and no buffer of its own; nothing when there is no such file, it is no
// regular file (a folder, a device, a pipe) or it cannot be read.
std::optional<QByteArray> ReadFileHead(const QString& path, qsizetype count);

// One entry of a folder listing: its name as DecodeName gives it and the bytes the file
// system holds, by which it is opened again.
struct Entry
{
    QString name;
    QByteArray native;
};

// What a file was when it was read or written: the same device, inode, size and modification
// time mean nobody has replaced or changed it since.
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
FileIdentity IdentityFromStat(const struct ::stat& st);
// The identity of the file the path leads to (links followed); nothing when there is none.
std::optional<FileIdentity> IdentityOf(const QString& path);

// A regular file open for reading; closed with its holder. Its size is the one the file had
// when it was opened: a file that shrinks afterwards reads short, and the callers refuse it.
class ReadOnlyFile
{
public:
    ReadOnlyFile() = default;
    // Takes a descriptor of a regular file.
    ReadOnlyFile(FileDescriptor fd, const FileIdentity& identity)
        : m_fd(std::move(fd)), m_size(identity.size), m_identity(identity)
    {
    }

    bool IsOpen() const { return m_fd.IsOpen(); }
    // The file's size when it was opened; -1 when it is not open.
    qint64 Size() const { return m_fd.IsOpen() ? m_size : -1; }
    // Reads up to count bytes, fewer only at the end of the file; -1 on a read error.
    qint64 Read(void* into, qint64 count);
    // The same at an offset, leaving the read position alone.
    qint64 ReadAt(qint64 offset, void* into, qint64 count) const;
    // The whole file of Size() bytes; nothing when it is not open or reads short.
    std::optional<QByteArray> ReadAll() const;
    // The file as it was opened.
    const FileIdentity& Identity() const { return m_identity; }

private:
    FileDescriptor m_fd;
    qint64 m_size = -1;
    FileIdentity m_identity;
};

// Opens a file that a user or another program names: once, without waiting on it, and only
// when that open file is a regular file (a pipe or a device is refused, and nothing can
// swap the file between a check and the read). The exact name first, then through Resolve.
ReadOnlyFile OpenRegularFile(const QString& path);

// A folder held open for reading the heads of many of its files (a language folder holds up
// to 10,000 data files): each name is opened from the folder, not walked to from the root.
class FolderReader
{
public:
    explicit FolderReader(const QString& folder); // through Resolve
    // The subfolder of the parent's listing, opened by its bytes.
    FolderReader(const FolderReader& parent, const Entry& folder);

    // The folder as shown in messages, and as the file system holds it.
    const QString& Folder() const { return m_folder; }
    const QByteArray& NativeFolder() const { return m_native; }

    // Find on this folder, each name with its bytes.
    std::vector<Entry> Find(const QString& pattern, unsigned flags = FindAll) const;
    // The regular file of the listing, opened by its bytes; a pipe or a device is refused
    // without waiting on it.
    ReadOnlyFile Open(const Entry& entry) const;

    // ReadFileHead of the entry `name` of the folder (exact names, as Find gives them, take
    // the short way; any other through Resolve).
    std::optional<QByteArray> ReadFileHead(const QString& name, qsizetype count) const;

private:
    QString m_folder;
    QByteArray m_native;
    FileDescriptor m_fd;
};

// Creates the folder and its missing parents (through Resolve); true when it exists after.
bool CreateDirectory(const QString& path);
// Removes the (resolved) file; true when it was removed.
bool RemoveFile(const QString& path);
} // namespace Path
