#include "Ostrelin/model/BindXml.h"

#include "platform/AtomicFile.h"
#include "platform/Path.h"
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <QFile>
#include <QSet>
#include <QVarLengthArray>
#include <algorithm>
#include <bit>
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
// The information file runs to megabytes: it goes out through a buffer small enough to stay
// in the processor's cache.
constexpr qsizetype kFlushBytes = 64 * 1024;

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
    // Digits and a minus sign, written as they stand.
    void Number(QStringView digits)
    {
        std::memcpy(at, digits.data(), std::size_t(digits.size()) * sizeof(char16_t));
        at += digits.size();
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
    void Number(QStringView digits) { out.Markup(digits); }

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
        sink.Number(Decimal(value, digits));
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

// Makes `to` a + b, in the room it has when it is its own.
void SetJoined(QString& to, QStringView a, QStringView b)
{
    if (to.isDetached())
        to.resize(a.size() + b.size());
    else
        to = QString(a.size() + b.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(to.data());
    std::copy_n(a.utf16(), a.size(), out);
    std::copy_n(b.utf16(), b.size(), out + a.size());
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

// A folder's names with one hash table keyed by the form that ignores case: the names are
// kept side by side in one buffer, and a name that no other name matches ignoring case (all
// of them, as the converter writes them) is found with one probe.
class CDiskSpelling::Folder
{
public:
    explicit Folder(const QString& folderPath)
    {
        const QString resolved = Path::Resolve(folderPath);
        if (!Path::IsDirectory(resolved))
            return;
        m_prefix = resolved + u'/';
        Path::ForEachNativeName(resolved, [this](const char* name) { Add(name); });
    }

    // The name as spelt on disk: the exact name when it is there, else the first in name
    // order that matches ignoring case; empty when none does. The answer is a view of the
    // folder's own copy, never of the name asked for, and lives as long as the folder.
    QStringView Find(QStringView name) const
    {
        if (m_slots.empty())
            return {};
        Units key(name.size());
        quint64 hash = 0;
        if (!AsciiKey(Units16(name), name.size(), key.data(), hash))
            hash = FoldedKey(name, key);
        const Name* match = Lookup(key.data(), key.size(), hash);
        if (match == nullptr)
            return {};
        const QStringView spelt = View(match->nameAt, match->nameSize);
        if (!match->shared || Same(spelt, name))
            return spelt;
        const auto exact = m_shared.constFind(name.toString());
        return exact == m_shared.cend() ? spelt : QStringView(*exact);
    }

    const QString& Prefix() const { return m_prefix; }

private:
    using Units = QVarLengthArray<char16_t, 64>;

    struct Name
    {
        quint32 keyAt, keySize, nameAt, nameSize;
        quint64 hash;
        bool shared; // another name has the same key
    };

    static const char16_t* Units16(QStringView text)
    {
        return reinterpret_cast<const char16_t*>(text.utf16());
    }

    // Names are short: compared in place, without a call.
    static bool Same(QStringView a, QStringView b)
    {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return false;
        return true;
    }

    static quint64 Finish(quint64 hash) { return hash ^ (hash >> 29); }

    // The key that ignores case of an ASCII name, its letters upper-cased, written to key
    // with its hash; false when the name is not ASCII.
    template <typename Unit>
    static bool AsciiKey(const Unit* name, qsizetype size, char16_t* key, quint64& hash)
    {
        quint64 h = 0xcbf29ce484222325ull;
        unsigned any = 0;
        for (qsizetype i = 0; i < size; ++i)
        {
            const unsigned c = static_cast<std::make_unsigned_t<Unit>>(name[i]);
            any |= c;
            const char16_t k = char16_t(c - u'a' < 26u ? c - (u'a' - u'A') : c);
            key[i] = k;
            h = (h ^ k) * 0x100000001b3ull;
        }
        hash = Finish(h);
        return any < 0x80;
    }

    // Any other name is case-folded first, so two names get one key exactly when their
    // case-folded forms are equal.
    static quint64 FoldedKey(QStringView name, Units& key)
    {
        const QString folded = name.toString().toCaseFolded();
        key.resize(folded.size());
        quint64 hash = 0;
        AsciiKey(Units16(folded), folded.size(), key.data(), hash);
        return hash;
    }

    QStringView View(quint32 at, quint32 size) const
    {
        return QStringView(m_units.data() + at, qsizetype(size));
    }

    const Name* Lookup(const char16_t* key, qsizetype size, quint64 hash) const
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask)
        {
            const qint32 at = m_slots[slot];
            if (at < 0)
                return nullptr;
            const Name& name = m_names[std::size_t(at)];
            if (name.hash == hash && Same(View(name.keyAt, name.keySize), QStringView(key, size)))
                return &name;
        }
    }

    void Add(const char* native)
    {
        const qsizetype length = qsizetype(std::strlen(native));
        Name name{};
        name.nameAt = quint32(m_units.size());
        // An ASCII name and its key go in side by side in one step.
        m_units.resize(m_units.size() + 2 * std::size_t(length));
        for (qsizetype i = 0; i < length; ++i)
            m_units[name.nameAt + std::size_t(i)] = static_cast<unsigned char>(native[i]);
        name.nameSize = quint32(length);
        name.keyAt = quint32(name.nameAt + length);
        name.keySize = quint32(length);
        if (!AsciiKey(native, length, m_units.data() + name.keyAt, name.hash))
        {
            m_units.resize(name.nameAt);
            const QString decoded = Path::DecodeName(QByteArrayView(native, length));
            Units key;
            name.hash = FoldedKey(decoded, key);
            m_units.insert(m_units.end(), Units16(decoded), Units16(decoded) + decoded.size());
            name.nameSize = quint32(decoded.size());
            name.keyAt = quint32(m_units.size());
            name.keySize = quint32(key.size());
            m_units.insert(m_units.end(), key.begin(), key.end());
        }
        if (2 * (m_names.size() + 1) > m_slots.size())
            Rehash();
        const QStringView key = View(name.keyAt, name.keySize);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = name.hash & mask;; slot = (slot + 1) & mask)
        {
            qint32& at = m_slots[slot];
            if (at < 0)
            {
                at = qint32(m_names.size());
                m_names.push_back(name);
                return;
            }
            Name& other = m_names[std::size_t(at)];
            if (other.hash != name.hash || !Same(View(other.keyAt, other.keySize), key))
                continue;
            // Names alike but for case: the slot names the first in name order, and the
            // exact names are kept aside.
            const QString added = View(name.nameAt, name.nameSize).toString();
            const QString held = View(other.nameAt, other.nameSize).toString();
            m_shared.insert(added);
            m_shared.insert(held);
            other.shared = true;
            if (Path::ListedBefore(added, held))
            {
                other.nameAt = name.nameAt;
                other.nameSize = name.nameSize;
            }
            return;
        }
    }

    void Rehash()
    {
        m_slots.assign(std::bit_ceil(std::max<std::size_t>(64, 4 * (m_names.size() + 1))), -1);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = 0; i < m_names.size(); ++i)
        {
            std::size_t slot = m_names[i].hash & mask;
            while (m_slots[slot] >= 0)
                slot = (slot + 1) & mask;
            m_slots[slot] = qint32(i);
        }
    }

    QString m_prefix; // the folder as spelt on disk, with a separator; empty when none
    std::vector<char16_t> m_units;
    std::vector<Name> m_names;
    std::vector<qint32> m_slots; // indexes into m_names, -1 for none
    QSet<QString> m_shared;      // the names whose key another name shares
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
    const QStringView spelt = folder.Find(Path::FindFileName(path));
    if (spelt.isEmpty())
        return path;
    QString joined;
    SetJoined(joined, folder.Prefix(), spelt);
    return joined;
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

bool CXmlBindConfFile::Save(const OutputFolder& folder, const QString& name,
                            const BindConfRows& rows)
{
    return ReplaceFile(folder, name, XmlWriter::Serialize(BuildDocument(rows)));
}

bool CXmlBindConfFile::SaveDocument(const QString& path, const QDomDocument& doc)
{
    return XmlWriter::Save(doc, Path::Resolve(path));
}

void AppendServerRows(const CBindData& data, const CServer& server, const QString& contentsFolder,
                      const QString& queryFolder, const BindInfoSink& add, CDiskSpelling& spelling)
{
    // One row, given on and made again; only the first one names the server.
    CBindInfoItem row;
    row.m_strName = server.m_strName;
    row.m_strRole = RoleName(server.m_nRole);
    row.m_nChannel = server.m_nChannel;
    bool given = false;
    const auto give = [&]()
    {
        add(row);
        if (!given)
        {
            row.m_strName.clear();
            row.m_strRole.clear();
            row.m_nChannel = -1;
            given = true;
        }
    };
    if (server.m_nRole == RoleContents)
    {
        // The guides that play a loaded work, each with the work's file number.
        std::vector<std::pair<qint32, FileNumber>> guides;
        guides.reserve(server.m_setGuides.size());
        for (const qint32 guideNo : server.m_setGuides)
        {
            const CGuideEntry* guide = data.FindGuide(guideNo);
            if (const CWork* work = guide ? data.FindWork(guide->m_nWorkNo) : nullptr)
                guides.emplace_back(guideNo, FileNumber(work->m_nFileNo));
        }
        // Each guide language's folder is listed once, and its names are looked up while the
        // listing is at hand (the nine together outgrow the processor's cache while the rows
        // are written): the name as spelt on disk after the folder as spelt, else both as given.
        struct Language
        {
            QString folder;
            QString prefix;
            std::vector<char16_t> names;                  // one after the other, in guide order
            std::vector<std::pair<qsizetype, bool>> ends; // and whether it was found
        };
        std::vector<Language> languages;
        for (int i = 0; i < kLanguageCount && !guides.empty(); ++i)
        {
            if (!HasLanguage(data.m_wGuideLanguages, i))
                continue;
            const QString code = CodeOf(i);
            Language& language = languages.emplace_back();
            language.folder = contentsFolder + code + u'/';
            const CDiskSpelling::Folder& listing =
                spelling.In(Path::RemoveFileSpec(language.folder));
            language.prefix = listing.Prefix();
            language.names.reserve(guides.size() * 12);
            language.ends.reserve(guides.size());
            for (const auto& [guideNo, number] : guides)
            {
                // "C" + code + number + ".BIN"
                char16_t name[3 + kDecimalUnits + 4];
                qsizetype size = 0;
                name[size++] = u'C';
                for (const QChar c : code)
                    name[size++] = c.unicode();
                size = std::copy_n(number.units, number.size, name + size) - name;
                size = std::copy_n(u".BIN", 4, name + size) - name;
                const QStringView found = listing.Find(QStringView(name, size));
                const QStringView spelt = found.isEmpty() ? QStringView(name, size) : found;
                language.names.insert(language.names.end(), spelt.utf16(),
                                      spelt.utf16() + spelt.size());
                language.ends.emplace_back(qsizetype(language.names.size()), !found.isEmpty());
            }
        }
        // The paths are made a few rows ahead of the rows given: a path read right after it
        // was written holds the processor up longer than making it takes.
        constexpr std::size_t kAhead = 16;
        std::array<QString, kAhead> paths;
        std::array<qint32, kAhead> guideNos;
        std::size_t made = 0;
        const auto giveMade = [&]()
        {
            for (std::size_t j = 0; j < made; ++j)
            {
                row.m_nGuideNo = guideNos[j];
                row.m_strResource.swap(paths[j]);
                give();
                row.m_strResource.swap(paths[j]);
            }
            made = 0;
        };
        row.m_strKind = QStringLiteral("CONTENTS");
        for (std::size_t k = 0; k < guides.size(); ++k)
        {
            for (const Language& language : languages)
            {
                const qsizetype from = k == 0 ? 0 : language.ends[k - 1].first;
                const auto& [to, found] = language.ends[k];
                SetJoined(paths[made], found ? language.prefix : language.folder,
                          QStringView(language.names.data() + from, to - from));
                guideNos[made] = guides[k].first;
                if (++made == kAhead)
                    giveMade();
            }
        }
        giveMade();
    }
    else if (server.m_nRole == RoleEnquete)
    {
        row.m_strKind = QStringLiteral("ENQUETE");
        row.m_nGuideNo = 0;
        for (int i = 0; i < kLanguageCount; ++i)
        {
            if (!HasLanguage(data.m_wGuideLanguages, i))
                continue;
            row.m_strResource =
                spelling.Of(queryFolder + u'E' + CodeOf(i) + QStringLiteral("000.BIN"));
            give();
        }
    }
    if (!given)
    {
        row.m_strKind.clear();
        row.m_nGuideNo = -1;
        give();
    }
}

void AppendServerRows(const CBindData& data, const CServer& server, const QString& contentsFolder,
                      const QString& queryFolder, BindInfoRows& rows, CDiskSpelling& spelling)
{
    AppendServerRows(
        data, server, contentsFolder, queryFolder,
        [&rows](const CBindInfoItem& row) { rows.push_back(row); }, spelling);
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
    CBindInfoWriter file(path);
    for (const CBindInfoItem& row : rows)
        file.Add(row);
    return file.Commit();
}

bool CXmlBindInfoFile::SaveDocument(const QString& path, const QDomDocument& doc)
{
    return CXmlBindConfFile::SaveDocument(path, doc);
}

CBindInfoWriter::CBindInfoWriter(const QString& path) : m_file(path)
{
    Begin();
}

CBindInfoWriter::CBindInfoWriter(const OutputFolder& folder, const QString& name)
    : m_file(folder, name)
{
    Begin();
}

void CBindInfoWriter::Begin()
{
    m_out.Open(0, u"BindBody");
    m_out.Reserve(kFlushBytes + 2 * kItemMarkupUnits);
}

CBindInfoWriter::~CBindInfoWriter() = default;

void CBindInfoWriter::Add(const CBindInfoItem& row)
{
    if (!m_open)
    {
        m_out.Open(1, u"BindInfo");
        m_open = true;
    }
    InPlace sink{m_out.Room(kItemMarkupUnits + TextUnits(row))};
    WriteItem(sink, row);
    if (sink.plain)
        m_out.Commit(sink.at);
    else
    {
        // Written again over what the copy left, escaped.
        Escaping escaping{m_out};
        WriteItem(escaping, row);
    }
    if (m_out.Size() >= kFlushBytes)
    {
        m_file.Write(QByteArrayView(m_out.Data(), m_out.Size()));
        m_out.Clear();
    }
}

bool CBindInfoWriter::Commit()
{
    if (m_open)
        m_out.Close(1, u"BindInfo");
    else
        m_out.Leaf(1, u"BindInfo", {});
    m_out.Close(0, u"BindBody");
    m_file.Write(QByteArrayView(m_out.Data(), m_out.Size()));
    m_out.Clear();
    return m_file.Commit();
}
