#include "Ostrelin/model/ProjectFolders.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/PathHelpers.h"
#include "platform/Path.h"

#include <QStringList>
#include <iterator>

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

constexpr char kSdAppFolder[] = "./convert/output/sd/private/kp/app/6D2E7A10";
constexpr char kCardPattern[] = "TZM*";
constexpr char kTitleFolder[] = "./convert/output/title";
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
QString InProject(const QString& projectFilePath, const char* relative)
{
    return AppendPath(Path::RemoveFileSpec(projectFilePath), QString::fromLatin1(relative));
}

// The title data files the replacer writes, one per language.
QStringList TitleFiles()
{
    QStringList names;
    for (int i = 0; i < kLanguageCount; ++i)
        names << u'R' + GetLanguageCode(i) + QStringLiteral("000.BIN");
    return names;
}
} // namespace

bool HasCardOutput(const QString& projectFilePath)
{
    if (Path::RemoveFileSpec(projectFilePath).isEmpty())
        return false;
    return !Path::Find(InProject(projectFilePath, kSdAppFolder), QString::fromLatin1(kCardPattern),
                       Path::FindFoldersOnly)
                .isEmpty();
}

CLastOutput::CLastOutput(const QString& projectFilePath)
    : m_bProject(!Path::RemoveFileSpec(projectFilePath).isEmpty()),
      m_card(InProject(projectFilePath, kSdAppFolder), {QString::fromLatin1(kCardPattern)},
             SetAside::Kind::Folders),
      m_titles(InProject(projectFilePath, kTitleFolder), TitleFiles(), SetAside::Kind::Files)
{
}

void CLastOutput::Recover()
{
    if (!m_bProject)
        return;
    m_card.Recover();
    m_titles.Recover();
}

bool CLastOutput::MoveAside(QString* error)
{
    if (!m_bProject)
        return false;
    Recover();
    if (!m_card.Move(error))
        return false;
    if (m_titles.Move(error))
        return true;
    m_card.Restore();
    return false;
}

void CLastOutput::Keep()
{
    m_card.Discard();
    m_titles.Discard();
}
