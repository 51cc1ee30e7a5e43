#include "Ostrelin/model/BindXml.h"

#include "platform/AtomicFile.h"
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

// The name folded for a look-up that ignores case; the names of data files are ASCII, which
// folds without the general tables.
QString Folded(const QString& name)
{
    QString folded(name.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    for (const QChar c : name)
    {
        const char16_t unit = c.unicode();
        if (unit >= 0x80)
            return name.toCaseFolded();
        *out++ = unit >= u'A' && unit <= u'Z' ? char16_t(unit + (u'a' - u'A')) : unit;
    }
    return folded;
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
    return Of(Path::RemoveFileSpec(path), Path::FindFileName(path), path);
}

QString CDiskSpelling::Of(const QString& folderPath, const QString& name, const QString& path)
{
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
                const QString key = Folded(name);
                if (!folder.folded.contains(key))
                    folder.folded.insert(key, name);
            }
        }
        it = m_folders.insert(folderPath, folder);
    }
    if (it->names.contains(name))
        return it->resolved + u'/' + name;
    const auto match = it->folded.constFind(Folded(name));
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
        // Per language its folder and the start of its file names, made once.
        std::array<QString, kLanguageCount> given;
        std::array<QString, kLanguageCount> folders;
        std::array<QString, kLanguageCount> leads;
        for (int i = 0; i < kLanguageCount; ++i)
        {
            const QString code = CodeOf(i);
            given[i] = contentsFolder + code + u'/';
            folders[i] = Path::RemoveFileSpec(given[i]);
            leads[i] = QStringLiteral("C") + code;
        }
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
                const QString name = leads[i] + number + QStringLiteral(".BIN");
                row.m_strResource = spelling.Of(folders[i], name, given[i] + name);
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
    // The bytes SaveDocument gives for BuildDocument(rows), written without the tree.
    XmlWriter::Stream out;
    out.Open(0, u"BindBody");
    if (rows.empty())
        out.Leaf(1, u"BindInfo", {});
    else
    {
        out.Open(1, u"BindInfo");
        QString number;
        for (const CBindInfoItem& row : rows)
        {
            const bool empty = row.m_strName.isEmpty() && row.m_strRole.isEmpty() &&
                               row.m_nChannel == -1 && row.m_strResource.isEmpty() &&
                               row.m_strKind.isEmpty() && row.m_nGuideNo == -1;
            if (empty)
            {
                out.Leaf(2, u"BindInfoItem", {});
                continue;
            }
            const auto text = [&](QStringView name, const QString& value)
            {
                if (!value.isEmpty())
                    out.Leaf(3, name, value);
            };
            const auto numberField = [&](QStringView name, qint32 value)
            {
                if (value != -1)
                    out.Leaf(3, name, number.setNum(value));
            };
            out.Open(2, u"BindInfoItem");
            text(u"strName", row.m_strName);
            text(u"strRole", row.m_strRole);
            numberField(u"nChannel", row.m_nChannel);
            text(u"strResource", row.m_strResource);
            text(u"strKind", row.m_strKind);
            numberField(u"nGuideNo", row.m_nGuideNo);
            out.Close(2, u"BindInfoItem");
        }
        out.Close(1, u"BindInfo");
    }
    out.Close(0, u"BindBody");
    return WriteFileAtomically(Path::Resolve(path),
                               QByteArray::fromRawData(out.Data(), out.Size()));
}

bool CXmlBindInfoFile::SaveDocument(const QString& path, const QDomDocument& doc)
{
    return CXmlBindConfFile::SaveDocument(path, doc);
}
