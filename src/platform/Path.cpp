#include "platform/Path.h"

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr QChar Sep = u'/';

// The original file system orders names by their upper-case form ("AB" before "A_B").
char16_t UpperUnit(char16_t c)
{
    if (c < 0x80)
        return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
    return QChar(c).toUpper().unicode();
}

// Compares the upper-case forms, then the names themselves.
bool CaseLess(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
    {
        const char16_t ka = UpperUnit(a[i].unicode());
        const char16_t kb = UpperUnit(b[i].unicode());
        if (ka != kb)
            return ka < kb;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

enum class Kind
{
    Any,
    File,
    Folder
};

Kind KindOf(unsigned flags)
{
    return (flags & Path::FindFilesOnly)     ? Kind::File
           : (flags & Path::FindFoldersOnly) ? Kind::Folder
                                             : Kind::Any;
}

// The entries of the open listing ("." and ".." left out) that are of the kind, as the bytes
// the file system holds; links are followed to decide. The order is the folder's own.
template <typename Visit> void ForEachEntryIn(DIR* dir, Kind kind, Visit visit)
{
    while (const dirent* e = readdir(dir))
    {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        if (kind != Kind::Any)
        {
            unsigned char type = e->d_type;
            if (type == DT_LNK || type == DT_UNKNOWN)
            {
                struct stat st;
                type = fstatat(dirfd(dir), n, &st, 0) != 0 ? DT_UNKNOWN
                       : S_ISREG(st.st_mode)               ? DT_REG
                       : S_ISDIR(st.st_mode)               ? DT_DIR
                                                           : DT_UNKNOWN;
            }
            if ((kind == Kind::File && type != DT_REG) || (kind == Kind::Folder && type != DT_DIR))
                continue;
        }
        visit(n);
    }
}

// The entry names of the folder that are of the kind, decoded.
template <typename Visit> void ForEachEntry(const QString& folder, Kind kind, Visit visit)
{
    const QByteArray native = Path::EncodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    if (const FolderListing dir = OpenFolderListing(native.constData()))
        ForEachEntryIn(dir.get(), kind, [&](const char* name) { visit(Path::DecodeName(name)); });
}

// The positions of the names in the original file system's order (by UpperUnit of each
// unit, then the names themselves, then their bytes when given); keyUnits is the sum of
// their lengths.
std::vector<std::size_t> UpperCaseOrder(const std::vector<QString>& names, qsizetype keyUnits,
                                        const std::vector<QByteArray>* natives = nullptr)
{
    // The upper-case keys are made once, side by side in one buffer, and the sort moves only
    // small records: a folder can hold 90,000 data files. The part every key shares is
    // skipped; the next eight units, packed into two numbers, decide most comparisons.
    std::vector<char16_t> keys(static_cast<std::size_t>(keyUnits));
    qsizetype at = 0;
    for (const QString& name : names)
        for (const QChar c : name)
            keys[std::size_t(at++)] = UpperUnit(c.unicode());
    qsizetype shared = names.empty() ? 0 : names.front().size();
    at = 0;
    for (const QString& name : names)
    {
        qsizetype same = 0;
        while (same < shared && same < name.size() &&
               keys[std::size_t(at + same)] == keys[std::size_t(same)])
            ++same;
        shared = same;
        at += name.size();
    }
    struct Keyed
    {
        quint64 head[2];
        qsizetype tailAt;
        qsizetype tailSize;
        std::size_t name;
    };
    constexpr qsizetype HeadUnits = 8;
    std::vector<Keyed> order;
    order.reserve(names.size());
    at = 0;
    for (std::size_t i = 0; i < names.size(); ++i)
    {
        const qsizetype size = names[i].size();
        quint64 head[2] = {0, 0};
        // Past its end a key reads as zero, below every unit a name can hold.
        for (qsizetype k = 0; k < HeadUnits; ++k)
        {
            const qsizetype unit = shared + k;
            quint64& word = head[k / 4];
            word = (word << 16) | (unit < size ? keys[std::size_t(at + unit)] : 0);
        }
        const qsizetype tail = std::min(size, shared + HeadUnits);
        order.push_back({{head[0], head[1]}, at + tail, size - tail, i});
        at += size;
    }
    std::sort(order.begin(), order.end(),
              [&](const Keyed& a, const Keyed& b)
              {
                  if (a.head[0] != b.head[0])
                      return a.head[0] < b.head[0];
                  if (a.head[1] != b.head[1])
                      return a.head[1] < b.head[1];
                  const int c = QStringView(keys.data() + a.tailAt, a.tailSize)
                                    .compare(QStringView(keys.data() + b.tailAt, b.tailSize));
                  if (c != 0)
                      return c < 0;
                  if (names[a.name] != names[b.name])
                      return names[a.name] < names[b.name];
                  // Names that show alike may still be different bytes.
                  return natives && (*natives)[a.name] < (*natives)[b.name];
              });
    std::vector<std::size_t> positions;
    positions.reserve(order.size());
    for (const Keyed& entry : order)
        positions.push_back(entry.name);
    return positions;
}

// True when a segment of the path is "." or "..".
bool HasDotSegment(QStringView path)
{
    for (qsizetype start = 0; start <= path.size();)
    {
        qsizetype end = path.indexOf(Sep, start);
        if (end < 0)
            end = path.size();
        const QStringView part = path.sliced(start, end - start);
        if (part == u"." || part == u"..")
            return true;
        start = end + 1;
    }
    return false;
}

QString Join(const QString& prefix, const QString& name)
{
    if (prefix.isEmpty())
        return name;
    if (prefix.endsWith(Sep))
        return prefix + name;
    return prefix + Sep + name;
}

bool Exists(const QString& path)
{
    // A link counts as an entry even when it points nowhere.
    struct stat st;
    return lstat(Path::EncodeName(path).constData(), &st) == 0;
}

// The mode of what the path leads to (links followed); 0 when there is nothing.
mode_t ModeOf(const QString& path)
{
    struct stat st;
    return stat(Path::EncodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// Reads count bytes, fewer only at the end of the file; -1 on an error. At the descriptor's
// position when `offset` is negative, else at that offset.
qint64 ReadFully(int fd, qint64 offset, char* out, qint64 count)
{
    if (count < 0)
        return -1;
    qint64 done = 0;
    while (done < count)
    {
        const std::size_t want = std::size_t(count - done);
        const ssize_t got = offset < 0 ? ::read(fd, out + done, want)
                                       : ::pread(fd, out + done, want, off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

// The regular file at the path (relative to the folder `at`). Opened without blocking, so
// that a pipe is refused instead of waited on; the kind is checked on the open file, so
// nothing can swap it after the check.
Path::ReadOnlyFile OpenRegularAt(int at, const char* native)
{
    FileDescriptor fd(::openat(at, native, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st;
    if (!fd.IsOpen() || fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return Path::ReadOnlyFile(std::move(fd), Path::IdentityFromStat(st));
}

// The first `count` bytes of the regular file at the path (relative to the folder `at`),
// zero-filled beyond its end.
std::optional<QByteArray> ReadHeadAt(int at, const QString& path, qsizetype count)
{
    if (count < 0)
        return std::nullopt;
    Path::ReadOnlyFile file = OpenRegularAt(at, Path::EncodeName(path).constData());
    if (!file.IsOpen())
        return std::nullopt;
    QByteArray bytes(count, '\0');
    if (file.Read(bytes.data(), count) < 0)
        return std::nullopt;
    return bytes;
}
} // namespace

QString Path::ToNative(const QString& path)
{
    QString p = path;
    p.replace(u'\\', Sep);
    return p;
}

QString Path::DecodeName(QByteArrayView native)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(native.data());
    const qsizetype size = native.size();
    // Most names are ASCII.
    if (std::all_of(bytes, bytes + size, [](unsigned char c) { return c < 0x80; }))
        return QString::fromLatin1(native);
    QString name;
    name.reserve(size);
    for (qsizetype i = 0; i < size;)
    {
        const unsigned char lead = bytes[i];
        if (lead < 0x80)
        {
            name.append(QChar(lead));
            ++i;
            continue;
        }
        // The sequence's length and its smallest value: a longer form than needed, a
        // surrogate or a value beyond U+10FFFF is no valid UTF-8.
        const qsizetype length = lead >= 0xC2 && lead <= 0xDF   ? 2
                                 : lead >= 0xE0 && lead <= 0xEF ? 3
                                 : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                : 0;
        char32_t code = lead & (0x7F >> length);
        qsizetype k = 1;
        while (k < length && i + k < size && (bytes[i + k] & 0xC0) == 0x80)
            code = code << 6 | (bytes[i + k++] & 0x3F);
        const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (length == 0 || k < length || code < least || code > 0x10FFFF ||
            QChar::isSurrogate(code))
        {
            name.append(QChar(char16_t(0xDC00 + lead)));
            ++i;
            continue;
        }
        if (QChar::requiresSurrogates(code))
        {
            name.append(QChar(QChar::highSurrogate(code)));
            name.append(QChar(QChar::lowSurrogate(code)));
        }
        else
            name.append(QChar(char16_t(code)));
        i += length;
    }
    return name;
}

bool Path::IsKeptByte(QStringView name, qsizetype at)
{
    const char16_t unit = name[at].unicode();
    return unit >= 0xDC80 && unit <= 0xDCFF && (at == 0 || !name[at - 1].isHighSurrogate());
}

QByteArray Path::EncodeName(QStringView name)
{
    // Most names are ASCII.
    if (std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return name.toLatin1();
    QByteArray native;
    native.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i)
    {
        char32_t code = name[i].unicode();
        if (code < 0x80)
        {
            native.append(char(code));
            continue;
        }
        if (IsKeptByte(name, i))
        {
            native.append(char(code & 0xFF));
            continue;
        }
        if (QChar::isHighSurrogate(code) && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            code = QChar::surrogateToUcs4(char16_t(code), name[++i].unicode());
        else if (QChar::isSurrogate(code))
            code = QChar::ReplacementCharacter;
        if (code < 0x800)
            native.append(char(0xC0 | code >> 6));
        else
        {
            if (code < 0x10000)
                native.append(char(0xE0 | code >> 12));
            else
            {
                native.append(char(0xF0 | code >> 18));
                native.append(char(0x80 | (code >> 12 & 0x3F)));
            }
            native.append(char(0x80 | (code >> 6 & 0x3F)));
        }
        native.append(char(0x80 | (code & 0x3F)));
    }
    return native;
}

QString Path::Append(const QString& a, const QString& b)
{
    const QString left = ToNative(a);
    QString right = ToNative(b);
    qsizetype skip = 0;
    while (skip < right.size() && right[skip] == Sep)
        ++skip;
    right = right.mid(skip);
    if (right.isEmpty())
        return left;
    const QString joined = left.isEmpty() ? right : AddBackslash(left) + right;
    if (!HasDotSegment(joined))
        return joined;
    // The original's append canonicalises: "." and ".." segments are folded.
    QString folded = QDir::cleanPath(joined);
    if (joined.endsWith(Sep) && !folded.endsWith(Sep))
        folded += Sep;
    return folded;
}

QString Path::QuoteSpaces(const QString& path)
{
    const bool quoted = path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"');
    if (quoted || (!path.contains(u' ') && !path.contains(u'\t')))
        return path;
    return u'"' + path + u'"';
}

QString Path::UnquoteSpaces(const QString& path)
{
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
        return path.mid(1, path.size() - 2);
    return path;
}

QString Path::RemoveFileSpec(const QString& path)
{
    const QString p = ToNative(path);
    const qsizetype last = p.lastIndexOf(Sep);
    if (last < 0)
        return QString();
    if (last == 0)
        return QString(Sep);
    return p.left(last);
}

QString Path::FindFileName(const QString& path)
{
    const QString p = ToNative(path);
    return p.mid(p.lastIndexOf(Sep) + 1);
}

QString Path::FindExtension(const QString& path)
{
    const QString name = FindFileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    // As on the original file system, a blank after the last dot means there is no extension.
    if (dot < 0 || name.indexOf(u' ', dot) >= 0)
        return QString();
    return name.mid(dot);
}

QString Path::RemoveExtension(const QString& path)
{
    const QString ext = FindExtension(path);
    return ToNative(path).left(path.size() - ext.size());
}

QString Path::RenameExtension(const QString& path, const QString& ext)
{
    return RemoveExtension(path) + ext;
}

QString Path::RemoveBackslash(const QString& path)
{
    QString p = ToNative(path);
    while (p.size() > 1 && p.endsWith(Sep))
        p.chop(1);
    return p;
}

QString Path::AddBackslash(const QString& path)
{
    if (path.isEmpty())
        return path;
    return RemoveBackslash(path) == QString(Sep) ? QString(Sep) : RemoveBackslash(path) + Sep;
}

bool Path::IsRelative(const QString& path)
{
    return !ToNative(path).startsWith(Sep);
}

bool Path::IsAbsoluteLocal(const QString& path)
{
    const QString p = ToNative(path);
    return p.startsWith(Sep) && !p.startsWith(QStringLiteral("//"));
}

QString Path::Resolve(const QString& path)
{
    const QString native = ToNative(path);
    if (native.isEmpty() || native.startsWith(QStringLiteral("//")) || Exists(native))
        return native;
    const bool absolute = native.startsWith(Sep);
    const bool trailing = native.size() > 1 && native.endsWith(Sep);
    const QStringList parts = native.split(Sep, Qt::SkipEmptyParts);
    QString done = absolute ? QString(Sep) : QString();
    qsizetype i = 0;
    for (; i < parts.size(); ++i)
    {
        const QString& part = parts[i];
        const QString exact = Join(done, part);
        if (part == u"." || part == u".." || Exists(exact))
        {
            done = exact;
            continue;
        }
        // The first in name order of the entries that match ignoring case.
        QString match;
        ForEachEntry(done, Kind::Any,
                     [&](const QString& name)
                     {
                         if (name.compare(part, Qt::CaseInsensitive) == 0 &&
                             (match.isEmpty() || CaseLess(name, match)))
                             match = name;
                     });
        if (match.isEmpty())
            break;
        done = Join(done, match);
    }
    if (i < parts.size())
        done = Join(done, parts.mid(i).join(Sep));
    if (trailing && !done.endsWith(Sep))
        done += Sep;
    return done;
}

bool Path::FileExists(const QString& path)
{
    // The exact name first, as Resolve takes it: the look-up only when that is not there.
    if (path.isEmpty())
        return false;
    const QString native = ToNative(path);
    return Exists(native) || Exists(Resolve(native));
}

bool Path::IsDirectory(const QString& path)
{
    return !path.isEmpty() && S_ISDIR(ModeOf(Resolve(path)));
}

bool Path::IsRegularFile(const QString& path)
{
    return !path.isEmpty() && S_ISREG(ModeOf(Resolve(path)));
}

Path::FileIdentity Path::IdentityFromStat(const struct ::stat& st)
{
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::optional<Path::FileIdentity> Path::IdentityOf(const QString& path)
{
    struct stat st;
    if (path.isEmpty() || stat(EncodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return IdentityFromStat(st);
}

std::optional<Path::FileStamp> Path::StampOf(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    const auto stamp = [](const QString& at) -> std::optional<FileStamp>
    {
        struct stat st;
        if (stat(EncodeName(at).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return std::nullopt;
        return FileStamp{qint64(st.st_size),
                         qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000};
    };
    if (std::optional<FileStamp> exact = stamp(path))
        return exact;
    return stamp(Resolve(path));
}

bool Path::MatchesPattern(const QString& name, const QString& pattern)
{
    if (pattern == u"*.*" || pattern == u"*")
        return true;
    // Greedy match with one backtrack point for the last '*'.
    qsizetype n = 0, p = 0, star = -1, mark = 0;
    auto same = [](QChar a, QChar b)
    {
        if (a == b)
            return true;
        const char16_t x = a.unicode() | 0x20;
        // Two ASCII characters: equal ignoring case only as the same letter.
        if (a.unicode() < 0x80 && b.unicode() < 0x80)
            return x == (b.unicode() | 0x20) && x >= u'a' && x <= u'z';
        return a.toCaseFolded() == b.toCaseFolded();
    };
    while (n < name.size())
    {
        if (p < pattern.size() &&
            (pattern[p] == u'?' || (pattern[p] != u'*' && same(pattern[p], name[n]))))
        {
            ++n;
            ++p;
        }
        else if (p < pattern.size() && pattern[p] == u'*')
        {
            star = p++;
            mark = n;
        }
        else if (star >= 0)
        {
            p = star + 1;
            n = ++mark;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool Path::ListedBefore(const QString& a, const QString& b)
{
    return CaseLess(a, b);
}

void Path::ForEachNativeName(const QString& folder, const std::function<void(const char*)>& visit)
{
    if (const FolderListing dir = OpenFolderListing(EncodeName(folder).constData()))
        ForEachEntryIn(dir.get(), Kind::Any, visit);
}

QStringList Path::Find(const QString& folder, const QString& pattern, unsigned flags)
{
    std::vector<QString> names;
    qsizetype keyUnits = 0;
    ForEachEntry(Resolve(folder), KindOf(flags),
                 [&](QString&& name)
                 {
                     if (!MatchesPattern(name, pattern))
                         return;
                     keyUnits += name.size();
                     names.push_back(std::move(name));
                 });
    QStringList out;
    out.reserve(qsizetype(names.size()));
    for (const std::size_t at : UpperCaseOrder(names, keyUnits))
        out.append(std::move(names[at]));
    return out;
}

std::optional<QByteArray> Path::ReadFileHead(const QString& path, qsizetype count)
{
    if (path.isEmpty())
        return std::nullopt;
    // The exact name first, as Resolve takes it: the look-up only when that is not there.
    const QString native = ToNative(path);
    if (std::optional<QByteArray> bytes = ReadHeadAt(AT_FDCWD, native, count))
        return bytes;
    const QString resolved = Resolve(native);
    if (resolved == native)
        return std::nullopt;
    return ReadHeadAt(AT_FDCWD, resolved, count);
}

qint64 Path::ReadOnlyFile::Read(void* into, qint64 count)
{
    return IsOpen() ? ReadFully(m_fd.Get(), -1, static_cast<char*>(into), count) : -1;
}

qint64 Path::ReadOnlyFile::ReadAt(qint64 offset, void* into, qint64 count) const
{
    return !IsOpen() || offset < 0 ? -1
                                   : ReadFully(m_fd.Get(), offset, static_cast<char*>(into), count);
}

std::optional<QByteArray> Path::ReadOnlyFile::ReadAll() const
{
    if (!IsOpen())
        return std::nullopt;
    QByteArray bytes(m_size, Qt::Uninitialized);
    if (ReadAt(0, bytes.data(), m_size) != m_size)
        return std::nullopt;
    return bytes;
}

Path::ReadOnlyFile Path::OpenRegularFile(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QString native = ToNative(path);
    ReadOnlyFile file = OpenRegularAt(AT_FDCWD, EncodeName(native).constData());
    if (file.IsOpen())
        return file;
    const QString resolved = Resolve(native);
    if (resolved == native)
        return {};
    return OpenRegularAt(AT_FDCWD, EncodeName(resolved).constData());
}

Path::FolderReader::FolderReader(const QString& folder)
    : m_folder(Resolve(folder)), m_native(EncodeName(m_folder)),
      m_fd(::open(m_native.isEmpty() ? "." : m_native.constData(),
                  O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

Path::FolderReader::FolderReader(const FolderReader& parent, const Entry& folder)
    : m_folder(Append(parent.m_folder, folder.name)),
      m_native(parent.m_native.isEmpty() ? folder.native : parent.m_native + '/' + folder.native),
      m_fd(parent.m_fd.IsOpen() ? ::openat(parent.m_fd.Get(), folder.native.constData(),
                                           O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                : -1)
{
}

std::vector<Path::Entry> Path::FolderReader::Find(const QString& pattern, unsigned flags) const
{
    // A listing of its own, so that the folder stays open for the reads that follow.
    const FolderListing dir = OpenFolderListing(m_fd);
    if (!dir)
        return {};
    std::vector<QString> names;
    std::vector<QByteArray> natives;
    qsizetype keyUnits = 0;
    ForEachEntryIn(dir.get(), KindOf(flags),
                   [&](const char* native)
                   {
                       QString name = DecodeName(native);
                       if (!MatchesPattern(name, pattern))
                           return;
                       keyUnits += name.size();
                       names.push_back(std::move(name));
                       natives.emplace_back(native);
                   });
    std::vector<Entry> entries;
    entries.reserve(names.size());
    for (const std::size_t at : UpperCaseOrder(names, keyUnits, &natives))
        entries.push_back({std::move(names[at]), std::move(natives[at])});
    return entries;
}

Path::ReadOnlyFile Path::FolderReader::Open(const Entry& entry) const
{
    if (!m_fd.IsOpen() || entry.native.isEmpty())
        return {};
    return OpenRegularAt(m_fd.Get(), entry.native.constData());
}

std::optional<QByteArray> Path::FolderReader::ReadFileHead(const QString& name,
                                                           qsizetype count) const
{
    if (m_fd.IsOpen() && !name.isEmpty() && !name.contains(Sep) && !name.contains(u'\\'))
        if (std::optional<QByteArray> bytes = ReadHeadAt(m_fd.Get(), name, count))
            return bytes;
    return Path::ReadFileHead(Append(m_folder, name), count);
}

bool Path::CreateDirectory(const QString& path)
{
    const QString resolved = Resolve(path);
    if (resolved.isEmpty())
        return false;
    // Each folder from the top down; one that is there already is passed over.
    const QByteArray native = EncodeName(resolved);
    for (qsizetype at = native.indexOf('/', 1); at > 0; at = native.indexOf('/', at + 1))
        ::mkdir(native.left(at).constData(), 0777);
    ::mkdir(native.constData(), 0777);
    return S_ISDIR(ModeOf(resolved));
}

bool Path::RemoveFile(const QString& path)
{
    return !path.isEmpty() && ::unlink(EncodeName(Resolve(path)).constData()) == 0;
}
