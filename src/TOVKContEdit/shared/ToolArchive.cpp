#include "TOVKContEdit/shared/ToolArchive.h"

#include "TOVKContEdit/shared/ToolScrambler.h"
#include "platform/AtomicFile.h"
#include "platform/Path.h"
#include "platform/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

const std::array<const char*, 10> ToolFileTable = {
    "exe/ordle.dll",
    "exe/brestal.ini",
    "exe/zulmet.exe",
    "exe/prandle.exe",
    "exe/vltcomp.exe",
    "exe/xerces-c_2_8.dll",
    "files/tovk_cn_all_16x18.VFTR",
    "files/tovk_eu_all_16x18.VFTR",
    "files/tovk_jp_all_16x18.VFTR",
    "files/tovk_kr_all_16x18.VFTR",
};

const std::array<const char*, 2> ToolSubfolderTable = {"exe", "files"};

const char* const ToolFolderMarker = "in-use.lock";

namespace
{
// Makes the folder unless it exists; false when it is not a folder afterwards.
bool MakeFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isSymLink())
        return info.isDir();
    return QDir().mkdir(path);
}

// The programs under exe are started by the converters.
bool IsProgramEntry(const char* entry)
{
    return QByteArrayView(entry).startsWith("exe/");
}

constexpr QFileDevice::Permissions kProgramPermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

int OpenMarker(const QString& folder)
{
    const QByteArray path =
        QFile::encodeName(Path::Append(folder, QString::fromLatin1(ToolFolderMarker)));
    return ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// True when the marker at its path is still the file the descriptor holds.
bool MarkerIsCurrent(int fd, const QString& folder)
{
    struct stat held, current;
    const QByteArray path =
        QFile::encodeName(Path::Append(folder, QString::fromLatin1(ToolFolderMarker)));
    return fstat(fd, &held) == 0 && lstat(path.constData(), &current) == 0 &&
           held.st_dev == current.st_dev && held.st_ino == current.st_ino;
}

std::uint32_t U32At(QByteArrayView bytes, qsizetype at)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
    return b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24);
}
} // namespace

QString ToolFolderPath()
{
    const QString temp = TempFolder();
    if (temp.isEmpty())
        return QString();
    return Path::Append(temp, QStringLiteral("VantiloqTools"));
}

bool ExtractTools(QByteArrayView archive, QString& toolFolder)
{
    const QString folder = ToolFolderPath();
    if (folder.isEmpty())
        return false;
    return ExtractToolsInto(archive, folder, toolFolder);
}

bool ExtractToolsInto(QByteArrayView archive, const QString& folder, QString& toolFolder)
{
    if (!MakeFolder(folder))
        return false;
    for (const char* sub : ToolSubfolderTable)
    {
        if (!MakeFolder(Path::Append(folder, QString::fromLatin1(sub))))
            return false;
    }

    const std::uint8_t seed = MakeToolSeed();
    qsizetype offset = 0;
    std::uint32_t position = 0;
    for (const char* entry : ToolFileTable)
    {
        if (archive.size() - offset < 4)
            return false;
        const std::uint32_t length = U32At(archive, offset);
        if (std::uint64_t(archive.size() - offset - 4) < length)
            return false;
        const QString path = Path::Append(folder, QString::fromLatin1(entry));
        const QFileInfo existing(path);
        // A file cut short by an interrupted run is written again.
        if (!(existing.isFile() && std::uint64_t(existing.size()) == length))
        {
            QByteArray buffer(archive.data() + offset + 4, qsizetype(length));
            auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data());
            UnscrambleToolData(seed, bytes, length, bytes, position);
            if (!WriteFileAtomically(path, buffer))
                return false;
        }
        if (IsProgramEntry(entry) &&
            (QFile::permissions(path) & kProgramPermissions) != kProgramPermissions)
            QFile::setPermissions(path, kProgramPermissions);
        offset += 4 + qsizetype(length);
        position += length;
    }
    toolFolder = folder;
    return true;
}

void RemoveTools(const QString& toolFolder)
{
    if (toolFolder.isEmpty())
        return;
    const int fd = OpenMarker(toolFolder);
    // Another program still uses the files: the last one out removes them.
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0)
    {
        ::close(fd);
        return;
    }
    for (const char* entry : ToolFileTable)
    {
        const QString path = Path::Append(toolFolder, QString::fromLatin1(entry));
        const QFileInfo info(path);
        if (info.isFile() || info.isSymLink())
            QFile::remove(path);
    }
    QDir dir;
    for (const char* sub : ToolSubfolderTable)
        dir.rmdir(Path::Append(toolFolder, QString::fromLatin1(sub)));
    // A program that waits for the marker sees it is gone and makes a new one.
    QFile::remove(Path::Append(toolFolder, QString::fromLatin1(ToolFolderMarker)));
    dir.rmdir(toolFolder);
    if (fd >= 0)
        ::close(fd);
}

ToolFolderHold::~ToolFolderHold()
{
    Release();
}

bool ToolFolderHold::Acquire(const QString& folder)
{
    if (m_fd >= 0 && folder == m_folder && MarkerIsCurrent(m_fd, m_folder))
        return true;
    Release();
    if (folder.isEmpty())
        return false;
    // A program removing the folder holds the marker exclusively for a moment; after it
    // the marker is gone and is made anew.
    for (int attempt = 0; attempt < 10; ++attempt)
    {
        if (!MakeFolder(folder))
            return false;
        const int fd = OpenMarker(folder);
        if (fd < 0)
            continue;
        if (flock(fd, LOCK_SH) == 0 && MarkerIsCurrent(fd, folder))
        {
            m_fd = fd;
            m_folder = folder;
            return true;
        }
        ::close(fd);
    }
    return false;
}

void ToolFolderHold::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_folder.clear();
}
