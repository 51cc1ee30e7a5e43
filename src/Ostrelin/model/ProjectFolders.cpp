#include "Ostrelin/model/ProjectFolders.h"

#include "Ostrelin/model/BindData.h"
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

// The rows of kTree.
enum TreeIndex
{
    Convert,
    Input,
    Bmp,
    Wav,
    Xml,
    Output,
    Contents,
    Query,
    Title,
    Sd,
};

// In creation order; each folder is appended to its parent.
constexpr TreeFolder kTree[] = {
    {-1, "convert"},     {Convert, "input"},   {Input, "bmp"},    {Input, "wav"},    {Input, "xml"},
    {Convert, "output"}, {Output, "contents"}, {Output, "query"}, {Output, "title"}, {Output, "SD"},
};

constexpr char kSdAppFolder[] = "private/kp/app/6D2E7A10";
constexpr char kCardPattern[] = "TZM*";

QString TreePath(const QString& projectFolder, int index)
{
    const TreeFolder& folder = kTree[index];
    const QString parent =
        folder.parent < 0 ? projectFolder : TreePath(projectFolder, folder.parent);
    return Path::Append(parent, QString::fromLatin1(folder.name));
}
} // namespace

CProjectTree::CProjectTree(const QString& projectFilePath)
    : m_projectFolder(Path::RemoveFileSpec(projectFilePath))
{
}

QString CProjectTree::ConvertFolder() const
{
    return TreePath(m_projectFolder, Convert);
}

QString CProjectTree::BmpFolder() const
{
    return TreePath(m_projectFolder, Bmp);
}

QString CProjectTree::XmlFolder() const
{
    return TreePath(m_projectFolder, Xml);
}

QString CProjectTree::ContentsFolder() const
{
    return TreePath(m_projectFolder, Contents);
}

QString CProjectTree::QueryFolder() const
{
    return TreePath(m_projectFolder, Query);
}

QString CProjectTree::TitleFolder() const
{
    return TreePath(m_projectFolder, Title);
}

QString CProjectTree::SdFolder() const
{
    return TreePath(m_projectFolder, Sd);
}

QString CProjectTree::SdAppFolder() const
{
    return Path::Append(SdFolder(), QString::fromLatin1(kSdAppFolder));
}

QString CProjectTree::ContentXml() const
{
    return Path::Append(XmlFolder(), QStringLiteral("TOVKContent.xml"));
}

QString CProjectTree::QueryXml() const
{
    return Path::Append(XmlFolder(), QStringLiteral("TOVKQuery.xml"));
}

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
        paths[i] = Path::Resolve(Path::Append(parent, QString::fromLatin1(folder.name)));
        if (!Path::IsDirectory(paths[i]))
            Path::CreateDirectory(paths[i]);
    }
}

namespace
{
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
    return !Path::Find(CProjectTree(projectFilePath).SdAppFolder(),
                       QString::fromLatin1(kCardPattern), Path::FindFoldersOnly)
                .isEmpty();
}

CLastOutput::CLastOutput(const QString& projectFilePath)
    : m_bProject(!Path::RemoveFileSpec(projectFilePath).isEmpty()),
      m_card(CProjectTree(projectFilePath).SdAppFolder(), {QString::fromLatin1(kCardPattern)},
             SetAside::Kind::Folders),
      m_titles(CProjectTree(projectFilePath).TitleFolder(), TitleFiles(), SetAside::Kind::Files)
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
