#include "platform/Path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace
{
constexpr QChar Sep = u'/';

// The original file system orders names by their upper-case form ("AB" before "A_B").
QString SortKey(const QString& name)
{
    QString key = name;
    for (QChar& c : key)
        c = c.toUpper();
    return key;
}

bool CaseLess(const QString& a, const QString& b)
{
    const QString ka = SortKey(a);
    const QString kb = SortKey(b);
    return ka != kb ? ka < kb : a < b;
}

enum class Kind
{
    Any,
    File,
    Folder
};

// The entry names of the folder ("." and ".." left out) that are of the kind; links are
// followed to decide. The order is the folder's own.
template <typename Visit> void ForEachEntry(const QString& folder, Kind kind, Visit visit)
{
    const QByteArray native = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR* dir = opendir(native.constData());
    if (!dir)
        return;
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
                const QByteArray full = native + '/' + n;
                type = stat(full.constData(), &st) != 0 ? DT_UNKNOWN
                       : S_ISREG(st.st_mode)            ? DT_REG
                       : S_ISDIR(st.st_mode)            ? DT_DIR
                                                        : DT_UNKNOWN;
            }
            if ((kind == Kind::File && type != DT_REG) || (kind == Kind::Folder && type != DT_DIR))
                continue;
        }
        visit(QFile::decodeName(n));
    }
    closedir(dir);
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
    QFileInfo info(path);
    return info.exists() || info.isSymLink();
}
} // namespace

QString Path::ToNative(const QString& path)
{
    QString p = path;
    p.replace(u'\\', Sep);
    return p;
}

QString Path::Append(const QString& a, const QString& b)
{
    const QString left = ToNative(a);
    QString right = ToNative(b);
    qsizetype skip = 0;
    while (skip < right.size() && right[skip] == Sep)
        ++skip;
    right = right.mid(skip);
    if (left.isEmpty())
        return right;
    if (right.isEmpty())
        return left;
    return AddBackslash(left) + right;
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
    return dot < 0 ? QString() : name.mid(dot);
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
    return !path.isEmpty() && Exists(Resolve(path));
}

bool Path::IsDirectory(const QString& path)
{
    return !path.isEmpty() && QFileInfo(Resolve(path)).isDir();
}

bool Path::IsRegularFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(Resolve(path)).isFile();
}

bool Path::MatchesPattern(const QString& name, const QString& pattern)
{
    if (pattern == u"*.*" || pattern == u"*")
        return true;
    // Greedy match with one backtrack point for the last '*'.
    qsizetype n = 0, p = 0, star = -1, mark = 0;
    auto same = [](QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); };
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

QStringList Path::Find(const QString& folder, const QString& pattern, unsigned flags)
{
    const Kind kind = (flags & FindFilesOnly)     ? Kind::File
                      : (flags & FindFoldersOnly) ? Kind::Folder
                                                  : Kind::Any;
    // Sorted on keys computed once per name.
    std::vector<std::pair<QString, QString>> found;
    ForEachEntry(Resolve(folder), kind,
                 [&](const QString& name)
                 {
                     if (MatchesPattern(name, pattern))
                         found.emplace_back(SortKey(name), name);
                 });
    std::sort(found.begin(), found.end());
    QStringList out;
    out.reserve(qsizetype(found.size()));
    for (auto& entry : found)
        out << std::move(entry.second);
    return out;
}

bool Path::CreateDirectory(const QString& path)
{
    const QString resolved = Resolve(path);
    if (resolved.isEmpty())
        return false;
    QDir().mkpath(resolved);
    return QFileInfo(resolved).isDir();
}

QString Path::ExecutableName(const QString& name)
{
    if (name.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        return name.left(name.size() - 4);
    return name;
}
