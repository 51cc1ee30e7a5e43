#include "Ostrelin/model/BindXml.h"

#include "platform/AtomicFile.h"
#include "platform/Path.h"
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cstring>
#include <type_traits>

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

// A bound on the units of an information item's markup with every field and two numbers of
// eleven digits, its texts left out.
constexpr qsizetype kItemMarkupUnits = 256;
constexpr qsizetype kDecimalUnits = 11;

// The value in decimal, as "%d" writes it, in the given units.
QStringView Decimal(qint32 value, char16_t (&units)[kDecimalUnits])
{
    qsizetype at = kDecimalUnits;
    quint32 rest = value < 0 ? 0u - quint32(value) : quint32(value);
    do
    {
        units[--at] = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0)
        units[--at] = u'-';
    return QStringView(units + at, kDecimalUnits - at);
}

// A file number as "%05d" writes it; the five digits of 0..99999 without the formatter.
struct FileNumber
{
    explicit FileNumber(qint32 value)
    {
        if (value < 0 || value > 99999)
        {
            const QString text = QStringLiteral("%1").arg(value, 5, 10, QChar(u'0'));
            size = std::min<qsizetype>(text.size(), std::size(units));
            std::copy_n(reinterpret_cast<const char16_t*>(text.constData()), size, units);
            return;
        }
        for (qsizetype at = size = 5; at > 0; value /= 10)
            units[--at] = char16_t(u'0' + value % 10);
    }

    char16_t units[kDecimalUnits];
    qsizetype size;
};

qsizetype TextUnits(const CBindInfoItem& row)
{
    return row.m_strName.size() + row.m_strRole.size() + row.m_strResource.size() +
           row.m_strKind.size();
}

// Where an item's lines go: straight into the room the stream gave, texts copied as they
// stand, kept when none of them needs escaping (the usual case); else through the stream.
struct InPlace
{
    template <std::size_t N> void Markup(const char16_t (&literal)[N])
    {
        std::memcpy(at, literal, (N - 1) * sizeof(char16_t));
        at += N - 1;
    }
    void Text(QStringView text)
    {
        plain = XmlWriter::CopyPlainText(text, at) && plain;
        at += text.size();
    }

    char16_t* at;
    bool plain = true;
};

struct Escaping
{
    template <std::size_t N> void Markup(const char16_t (&literal)[N])
    {
        out.Markup(QStringView(literal, qsizetype(N) - 1));
    }
    void Text(QStringView text) { out.Text(text); }

    XmlWriter::Stream& out;
};

// One BindInfoItem element with its fields, as the document tree gives it.
template <typename Sink> void WriteItem(Sink& sink, const CBindInfoItem& row)
{
    const bool empty = row.m_strName.isEmpty() && row.m_strRole.isEmpty() && row.m_nChannel == -1 &&
                       row.m_strResource.isEmpty() && row.m_strKind.isEmpty() &&
                       row.m_nGuideNo == -1;
    if (empty)
    {
        sink.Markup(u"\t\t<BindInfoItem/>\r\n");
        return;
    }
    char16_t digits[kDecimalUnits];
    const auto text = [&](const auto& open, const auto& close, const QString& value)
    {
        if (value.isEmpty())
            return;
        sink.Markup(open);
        sink.Text(value);
        sink.Markup(close);
    };
    const auto number = [&](const auto& open, const auto& close, qint32 value)
    {
        if (value == -1)
            return;
        sink.Markup(open);
        sink.Text(Decimal(value, digits));
        sink.Markup(close);
    };
    sink.Markup(u"\t\t<BindInfoItem>\r\n");
    text(u"\t\t\t<strName>", u"</strName>\r\n", row.m_strName);
    text(u"\t\t\t<strRole>", u"</strRole>\r\n", row.m_strRole);
    number(u"\t\t\t<nChannel>", u"</nChannel>\r\n", row.m_nChannel);
    text(u"\t\t\t<strResource>", u"</strResource>\r\n", row.m_strResource);
    text(u"\t\t\t<strKind>", u"</strKind>\r\n", row.m_strKind);
    number(u"\t\t\t<nGuideNo>", u"</nGuideNo>\r\n", row.m_nGuideNo);
    sink.Markup(u"\t\t</BindInfoItem>\r\n");
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

// a + b, made in one piece.
QString Joined(const QString& a, const QString& b)
{
    QString joined;
    joined.reserve(a.size() + b.size());
    return joined.append(a).append(b);
}

// The case-folded name; one of ASCII only (all the converter writes) folded on the spot.
template <typename Unit> QString Folded(const Unit* name, qsizetype size, const QString& decoded)
{
    QString key(size, Qt::Uninitialized);
    char16_t* units = reinterpret_cast<char16_t*>(key.data());
    for (qsizetype i = 0; i < size; ++i)
    {
        const char16_t c = static_cast<std::make_unsigned_t<Unit>>(name[i]);
        if (c >= 0x80)
            return decoded.toCaseFolded();
        units[i] = char16_t(c - u'A') < 26 ? char16_t(c + (u'a' - u'A')) : c;
    }
    return key;
}
} // namespace

QDomElement AddXmlElement(QDomDocument& doc, QDomNode parent, const QString& name,
                          const QString& text)
{
    return XmlDocument::AddElement(doc, parent, name, text);
}

QString BindFilePath(const QString& path)
{
    const QString resolved = Path::Resolve(path);
    return Path::FileExists(resolved) ? resolved : path;
}

// A folder's names keyed by the form that ignores case (the case-folded name).
class CDiskSpelling::Folder
{
public:
    explicit Folder(const QString& folderPath)
    {
        const QString resolved = Path::Resolve(folderPath);
        if (!Path::IsDirectory(resolved))
            return;
        m_prefix = resolved + u'/';
        // A language folder of a full guide holds a thousand files: no growth on the way.
        m_names.reserve(1024);
        Path::ForEachNativeName(resolved, [this](const char* native) { Add(native); });
    }

    // The name as spelt on disk: the exact name when it is there, else the first in name
    // order that matches ignoring case; empty when none does.
    QString Find(const QString& name) const
    {
        const auto it = m_names.constFind(
            Folded(reinterpret_cast<const char16_t*>(name.constData()), name.size(), name));
        if (it == m_names.cend())
            return {};
        return m_shared.isEmpty() || !m_shared.contains(name) ? *it : name;
    }

    const QString& Prefix() const { return m_prefix; }

private:
    void Add(const char* native)
    {
        const qsizetype size = qsizetype(std::strlen(native));
        const QByteArray bytes = QByteArray::fromRawData(native, size);
        // An ASCII name reads the same in every encoding of file names.
        const QString name = std::all_of(native, native + size, [](char c) { return c >= 0; })
                                 ? QString::fromLatin1(bytes)
                                 : QFile::decodeName(bytes);
        QString& held = m_names[Folded(native, size, name)];
        if (held.isEmpty())
        {
            held = name;
            return;
        }
        // Names alike but for case: the first in name order answers, and the exact names
        // are kept aside.
        m_shared.insert(held);
        m_shared.insert(name);
        if (Path::ListedBefore(name, held))
            held = name;
    }

    QString m_prefix; // the folder as spelt on disk, with a separator; empty when none
    QHash<QString, QString> m_names;
    QSet<QString> m_shared; // the names whose folded form another name shares
};

CDiskSpelling::CDiskSpelling() = default;
CDiskSpelling::~CDiskSpelling() = default;

const CDiskSpelling::Folder& CDiskSpelling::In(const QString& folderPath)
{
    auto it = m_folders.find(folderPath);
    if (it == m_folders.end())
        it = m_folders.emplace(folderPath, std::make_unique<Folder>(folderPath)).first;
    return *it->second;
}

QString CDiskSpelling::Of(const QString& path)
{
    const Folder& folder = In(Path::RemoveFileSpec(path));
    const QString spelt = folder.Find(Path::FindFileName(path));
    return spelt.isEmpty() ? path : Joined(folder.Prefix(), spelt);
}

QString CDiskSpelling::Of(const Folder& folder, const QString& name, const QString& givenFolder)
{
    const QString spelt = folder.Find(name);
    return spelt.isEmpty() ? Joined(givenFolder, name) : Joined(folder.Prefix(), spelt);
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
        rows.push_back(std::move(row));
        row.Reset();
        pushed = true;
    };
    if (server.m_nRole == RoleContents)
    {
        // Per guide language its folder as given, its listing and its code, made once.
        std::array<QString, kLanguageCount> given;
        std::array<const CDiskSpelling::Folder*, kLanguageCount> folders{};
        std::array<QString, kLanguageCount> codes;
        std::size_t languages = 0;
        for (int i = 0; i < kLanguageCount; ++i)
        {
            if (!HasLanguage(data.m_wGuideLanguages, i))
                continue;
            ++languages;
            codes[i] = CodeOf(i);
            given[i] = contentsFolder + codes[i] + u'/';
            folders[i] = &spelling.In(Path::RemoveFileSpec(given[i]));
        }
        rows.reserve(rows.size() + server.m_setGuides.size() * languages);
        for (const qint32 guideNo : server.m_setGuides)
        {
            const CGuideEntry* guide = data.FindGuide(guideNo);
            const CWork* work = guide ? data.FindWork(guide->m_nWorkNo) : nullptr;
            if (work == nullptr)
                continue;
            const FileNumber number(work->m_nFileNo);
            for (int i = 0; i < kLanguageCount; ++i)
            {
                if (folders[i] == nullptr)
                    continue;
                QString name;
                name.reserve(1 + codes[i].size() + number.size + 4);
                name.append(u'C').append(codes[i]).append(QStringView(number.units, number.size));
                name.append(u".BIN");
                row.m_strResource = CDiskSpelling::Of(*folders[i], name, given[i]);
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
    // The bytes SaveDocument gives for BuildDocument(rows), written without the tree; the
    // items' lines are laid out here.
    XmlWriter::Stream out;
    out.Open(0, u"BindBody");
    if (rows.empty())
        out.Leaf(1, u"BindInfo", {});
    else
    {
        out.Open(1, u"BindInfo");
        qsizetype units = 0;
        for (const CBindInfoItem& row : rows)
            units += kItemMarkupUnits + TextUnits(row);
        out.Reserve(2 * units);
        for (const CBindInfoItem& row : rows)
        {
            InPlace sink{out.Room(kItemMarkupUnits + TextUnits(row))};
            WriteItem(sink, row);
            if (sink.plain)
                out.Commit(sink.at);
            else
            {
                // Written again over what the copy left, escaped.
                Escaping escaping{out};
                WriteItem(escaping, row);
            }
        }
        out.Close(1, u"BindInfo");
    }
    out.Close(0, u"BindBody");
    // Made anew at every output: replaced whole, without waiting for the disk.
    return ReplaceFile(path, QByteArrayView(out.Data(), out.Size()));
}

bool CXmlBindInfoFile::SaveDocument(const QString& path, const QDomDocument& doc)
{
    return CXmlBindConfFile::SaveDocument(path, doc);
}
