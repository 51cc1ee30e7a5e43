#include "Ostrelin/model/BindXml.h"

#include "platform/Path.h"
#include "platform/XmlWriter.h"

namespace
{
// The code of a language index, "JP" for 0 and for anything outside 1..8.
QString CodeOf(qint32 language)
{
    return GetLanguageCode(language >= 1 && language < kLanguageCount ? int(language) : 0);
}

bool HasLanguage(quint16 mask, int language)
{
    return (mask & (1u << language)) != 0;
}

QDomDocument EmptyDocument(const QString& rootName)
{
    QDomDocument doc;
    doc.appendChild(doc.createElement(rootName));
    return doc;
}

QString RoleName(qint32 role)
{
    switch (role)
    {
    case RoleContents:
        return QStringLiteral("CONTENTS");
    case RoleEnquete:
        return QStringLiteral("ENQUETE");
    default:
        return QStringLiteral("PROGRAM");
    }
}
} // namespace

QDomElement AddXmlElement(QDomDocument& doc, QDomNode parent, const QString& name,
                          const QString& text)
{
    QDomElement element = doc.createElement(name);
    parent.appendChild(element);
    if (!text.isEmpty())
        element.appendChild(doc.createTextNode(text));
    return element;
}

QString BindFilePath(const QString& path)
{
    const QString resolved = Path::Resolve(path);
    return Path::FileExists(resolved) ? resolved : path;
}

QString CDiskSpelling::Of(const QString& path)
{
    const QString folderPath = Path::RemoveFileSpec(path);
    auto it = m_folders.find(folderPath);
    if (it == m_folders.end())
    {
        Folder folder;
        folder.resolved = Path::Resolve(folderPath);
        if (Path::IsDirectory(folder.resolved))
        {
            for (const QString& name : Path::Find(folder.resolved, QStringLiteral("*")))
            {
                folder.names.insert(name);
                const QString key = name.toCaseFolded();
                if (!folder.folded.contains(key))
                    folder.folded.insert(key, name);
            }
        }
        it = m_folders.insert(folderPath, folder);
    }
    const QString name = Path::FindFileName(path);
    if (it->names.contains(name))
        return it->resolved + u'/' + name;
    const auto match = it->folded.constFind(name.toCaseFolded());
    return match != it->folded.cend() ? it->resolved + u'/' + *match : path;
}

BindConfRows BuildBindConfRows(const CLanguageSettings& settings, quint16 titleMask,
                               const QString& titleFolder)
{
    BindConfRows rows;
    rows[0].m_strBaseLanguage = CodeOf(settings.m_nDisplayLanguage);
    for (int i = 0; i < kLanguageCount; ++i)
    {
        if (HasLanguage(settings.m_wGuideLanguages, i))
            rows[i].m_strSupportLanguage = CodeOf(i);
        if (HasLanguage(titleMask, i))
            rows[i].m_strTitleImg =
                BindFilePath(titleFolder + u'R' + CodeOf(i) + QStringLiteral("000.BIN"));
    }
    return rows;
}

CXmlBindConfFile::~CXmlBindConfFile() = default;

QDomDocument CXmlBindConfFile::BuildDocument(const BindConfRows& rows)
{
    QDomDocument doc = EmptyDocument(QStringLiteral("BindConf"));
    QDomElement root = doc.documentElement();
    for (const CBindConfItem& row : rows)
    {
        const std::pair<const char*, const QString*> fields[] = {
            {"strBaseLanguage", &row.m_strBaseLanguage},
            {"strSupportLanguage", &row.m_strSupportLanguage},
            {"strTitleImg", &row.m_strTitleImg},
        };
        QDomElement item;
        for (const auto& [name, value] : fields)
        {
            if (value->isEmpty())
                continue;
            if (item.isNull())
                item = AddXmlElement(doc, root, QStringLiteral("BindConfItem"), QString());
            AddXmlElement(doc, item, QString::fromLatin1(name), *value);
        }
    }
    return doc;
}

bool CXmlBindConfFile::Save(const QString& path, const BindConfRows& rows)
{
    return SaveDocument(path, BuildDocument(rows));
}

bool CXmlBindConfFile::SaveDocument(const QString& path, const QDomDocument& doc)
{
    return XmlWriter::Save(doc, Path::Resolve(path));
}

void AppendServerRows(const CBindData& data, const CServer& server, const QString& contentsFolder,
                      const QString& queryFolder, BindInfoRows& rows, CDiskSpelling& spelling)
{
    CBindInfoItem row;
    row.m_strName = server.m_strName;
    row.m_strRole = RoleName(server.m_nRole);
    row.m_nChannel = server.m_nChannel;
    bool pushed = false;
    const auto push = [&]()
    {
        rows.push_back(row);
        row.Reset();
        pushed = true;
    };
    if (server.m_nRole == RoleContents)
    {
        for (const qint32 guideNo : server.m_setGuides)
        {
            const CGuideEntry* guide = data.FindGuide(guideNo);
            const CWork* work = guide ? data.FindWork(guide->m_nWorkNo) : nullptr;
            if (work == nullptr)
                continue;
            const QString number = QStringLiteral("%1").arg(work->m_nFileNo, 5, 10, QChar(u'0'));
            for (int i = 0; i < kLanguageCount; ++i)
            {
                if (!HasLanguage(data.m_wGuideLanguages, i))
                    continue;
                const QString code = CodeOf(i);
                row.m_strResource = spelling.Of(contentsFolder + code + QStringLiteral("/C") +
                                                code + number + QStringLiteral(".BIN"));
                row.m_strKind = QStringLiteral("CONTENTS");
                row.m_nGuideNo = guideNo;
                push();
            }
        }
    }
    else if (server.m_nRole == RoleEnquete)
    {
        for (int i = 0; i < kLanguageCount; ++i)
        {
            if (!HasLanguage(data.m_wGuideLanguages, i))
                continue;
            row.m_strResource =
                spelling.Of(queryFolder + u'E' + CodeOf(i) + QStringLiteral("000.BIN"));
            row.m_strKind = QStringLiteral("ENQUETE");
            row.m_nGuideNo = 0;
            push();
        }
    }
    if (!pushed)
        push();
}

CXmlBindInfoFile::~CXmlBindInfoFile() = default;

QDomDocument CXmlBindInfoFile::BuildDocument(const BindInfoRows& rows)
{
    QDomDocument doc = EmptyDocument(QStringLiteral("BindBody"));
    QDomElement info = AddXmlElement(doc, doc.documentElement(), QStringLiteral("BindInfo"), {});
    for (const CBindInfoItem& row : rows)
    {
        QDomElement item = AddXmlElement(doc, info, QStringLiteral("BindInfoItem"), {});
        const auto text = [&](const char* name, const QString& value)
        {
            if (!value.isEmpty())
                AddXmlElement(doc, item, QString::fromLatin1(name), value);
        };
        const auto number = [&](const char* name, qint32 value)
        {
            if (value != -1)
                AddXmlElement(doc, item, QString::fromLatin1(name), QString::number(value));
        };
        text("strName", row.m_strName);
        text("strRole", row.m_strRole);
        number("nChannel", row.m_nChannel);
        text("strResource", row.m_strResource);
        text("strKind", row.m_strKind);
        number("nGuideNo", row.m_nGuideNo);
    }
    return doc;
}

bool CXmlBindInfoFile::Save(const QString& path, const BindInfoRows& rows)
{
    return SaveDocument(path, BuildDocument(rows));
}

bool CXmlBindInfoFile::SaveDocument(const QString& path, const QDomDocument& doc)
{
    return CXmlBindConfFile::SaveDocument(path, doc);
}
