#include "TOVKContEdit/shared/ToolArchive.h"

#include "TOVKContEdit/shared/ToolScrambler.h"
#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/Path.h"
#include "platform/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

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

QString MarkerPath(const QString& folder)
{
    return Path::Append(folder, QString::fromLatin1(ToolFolderMarker));
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

bool UnpackTools(ToolFolderHold& hold, QString& toolFolder)
{
    return hold.Acquire(ToolFolderPath()) && ExtractTools(ToolArchive(), toolFolder);
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
            if (!ReplaceFile(path, buffer))
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
    FileLock marker;
    // Another program still uses the files: the last one out removes them.
    if (marker.Open(MarkerPath(toolFolder)) && !marker.TryLockExclusive())
        return;
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
    QFile::remove(MarkerPath(toolFolder));
    dir.rmdir(toolFolder);
}

ToolFolderHold::~ToolFolderHold()
{
    Release();
}

bool ToolFolderHold::Acquire(const QString& folder)
{
    if (m_marker.IsOpen() && folder == m_folder && m_marker.IsStillAt(MarkerPath(m_folder)))
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
        FileLock marker;
        if (marker.Open(MarkerPath(folder)) && marker.LockShared() &&
            marker.IsStillAt(MarkerPath(folder)))
        {
            m_marker = std::move(marker);
            m_folder = folder;
            return true;
        }
    }
    return false;
}

void ToolFolderHold::Release()
{
    m_marker.Close();
    m_folder.clear();
}
