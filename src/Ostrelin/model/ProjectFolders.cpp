#include "Ostrelin/model/ProjectFolders.h"

#include "Ostrelin/model/PathHelpers.h"
#include "platform/Path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <iterator>
#include <utility>

namespace
{
struct TreeFolder
{
    int parent; // index of the parent in the table, -1 for the project folder
    const char* name;
};

// In creation order; each folder is appended to its parent.
constexpr TreeFolder kTree[] = {
    {-1, "convert"}, {0, "input"},    {1, "bmp"},   {1, "wav"},   {1, "xml"},
    {0, "output"},   {5, "contents"}, {5, "query"}, {5, "title"}, {5, "SD"},
};

constexpr char kSdAppFolder[] = "./convert/output/sd/private/kp/app/6D2E7A10/TZM*";
} // namespace

void CreateProjectFolders(const QString& projectFilePath)
{
    const QString projectFolder = Path::RemoveFileSpec(projectFilePath);
    // Without the project's folder there is no tree to make (and never one in the current
    // folder for an empty path).
    if (projectFolder.isEmpty() || !Path::IsDirectory(projectFolder))
        return;
    QString paths[std::size(kTree)];
    for (std::size_t i = 0; i < std::size(kTree); ++i)
    {
        const TreeFolder& folder = kTree[i];
        const QString& parent = folder.parent < 0 ? projectFolder : paths[folder.parent];
        // Resolved, so the next name goes below the folder as it is spelt on disk.
        paths[i] = Path::Resolve(AppendPath(parent, QString::fromLatin1(folder.name)));
        if (!Path::IsDirectory(paths[i]))
            Path::CreateDirectory(paths[i]);
    }
}

namespace
{
// The card tree's application folder and the pattern of the bind tool's folders in it.
std::pair<QString, QString> CardOutput(const QString& projectFilePath)
{
    const QString search =
        AppendPath(Path::RemoveFileSpec(projectFilePath), QString::fromLatin1(kSdAppFolder));
    return {Path::Resolve(Path::RemoveFileSpec(search)), Path::FindFileName(search)};
}
} // namespace

bool HasCardOutput(const QString& projectFilePath)
{
    if (Path::RemoveFileSpec(projectFilePath).isEmpty())
        return false;
    const auto [appFolder, pattern] = CardOutput(projectFilePath);
    return !Path::Find(appFolder, pattern, Path::FindFoldersOnly).isEmpty();
}

void CleanOutputFolders(const QString& projectFilePath)
{
    if (Path::RemoveFileSpec(projectFilePath).isEmpty())
        return;
    const auto [appFolder, pattern] = CardOutput(projectFilePath);
    QStringList noted;
    for (const QString& name : Path::Find(appFolder, pattern))
    {
        const QString folder = appFolder + u'/' + name;
        // Only real folders: a link could lead the deletion out of the project.
        const QFileInfo info(folder);
        if (info.isSymLink() || !info.isDir())
            continue;
        noted.append(folder);
        const QStringList entries = Path::Find(folder, QStringLiteral("*.*"));
        for (const QString& entry : entries)
        {
            const QString path = folder + u'/' + entry;
            // Removed as files: a subfolder stays, and keeps its folder alive.
            if (!QFileInfo(path).isDir() || QFileInfo(path).isSymLink())
                QFile::remove(path);
        }
    }
    for (const QString& folder : noted)
        QDir().rmdir(folder);
}
