#include "TOVKContEdit/shared/XmlContentDumFile.h"

#include "TOVKContEdit/res/resource.h"
#include "platform/AtomicFile.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/Utf16Scan.h"
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <QXmlStreamReader>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace
{
const QString kRootName = QStringLiteral("ContentBody");
const QString kInfoName = QStringLiteral("ContentInfo");

enum Field
{
    FieldLangType,
    FieldProductNo,
    FieldProductImgCnt,
    FieldProductImg1,
    FieldProductImg2,
    FieldProductWav,
    FieldProductTxt,
    FieldProductCmt,
    FieldCount
};

const std::array<QString, FieldCount> kFieldNames = {
    QStringLiteral("nLangType"),      QStringLiteral("nProductNo"),
    QStringLiteral("nProductImgCnt"), QStringLiteral("strProductImg1"),
    QStringLiteral("strProductImg2"), QStringLiteral("strProductWav"),
    QStringLiteral("strProductTxt"),  QStringLiteral("strProductCmt"),
};

int FieldIndex(QStringView name)
{
    for (int i = 0; i < FieldCount; ++i)
        if (kFieldNames[i] == name)
            return i;
    return -1;
}

// Leading blanks, an optional sign, then digits up to the first other character; text
// without digits, and a value that does not fit an int, read as 0.
int ToInt(QStringView text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    std::int64_t value = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i)
    {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > std::int64_t(INT_MAX) + 1)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return 0;
    return static_cast<int>(value);
}

void SetField(ContentRecord& record, int field, QStringView text)
{
    // The texts are copied as they stand (QString::fromUtf16 would drop a leading U+FEFF).
    const auto unquoted = [](QStringView quoted)
    {
        if (quoted.size() >= 2 && quoted.front() == u'"' && quoted.back() == u'"')
            quoted = quoted.mid(1, quoted.size() - 2);
        return quoted.toString();
    };
    switch (field)
    {
    case FieldLangType:
        record.nLangType = ToInt(text);
        break;
    case FieldProductNo:
        record.nProductNo = ToInt(text);
        break;
    case FieldProductImgCnt:
        record.nProductImgCnt = ToInt(text);
        break;
    case FieldProductImg1:
        record.strProductImg1 = text.toString();
        break;
    case FieldProductImg2:
        record.strProductImg2 = text.toString();
        break;
    case FieldProductWav:
        record.strProductWav = text.toString();
        break;
    case FieldProductTxt:
        record.strProductTxt = unquoted(text);
        break;
    case FieldProductCmt:
        record.strProductCmt = unquoted(text);
        break;
    }
}

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

constexpr std::array<std::u16string_view, FieldCount> kFieldTags = {
    u"nLangType",      u"nProductNo",    u"nProductImgCnt", u"strProductImg1",
    u"strProductImg2", u"strProductWav", u"strProductTxt",  u"strProductCmt",
};

// The characters that stand for themselves in the text of an element; texts are most of a
// content file.
constexpr Utf16Class kPlainText({{0x20, 0xD7FF}, {0xE000, 0xFFFD}}, u"\t\n", u"<&]");

// The layout Save writes: the declaration, ContentBody holding ContentInfo elements of leaf
// fields, blanks between. A scanner of its own reads it several times faster than the
// general reader. At the first thing outside that layout (a comment, CDATA, a character
// reference, an attribute, another element, text between elements, another declaration, a
// character XML cannot carry) it gives up, and the general reader decides on the whole
// file: both give the same records for every input.
class OwnLayoutReader
{
public:
    OwnLayoutReader(const char16_t* begin, const char16_t* end) : m_p(begin), m_end(end) {}

    // False when the text leaves the layout; records then holds an unfinished list.
    bool Read(ContentRecords& records)
    {
        if (Take(u"<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>") ||
            Take(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"))
            SkipBlanks();
        if (Take(u"<ContentBody/>"))
            return AtEnd();
        if (!Take(u"<ContentBody>"))
            return false;
        for (;;)
        {
            SkipBlanks();
            if (Take(u"</ContentBody>"))
                return AtEnd();
            ContentRecord record;
            record.nLangType = 0;
            record.nProductNo = 0;
            if (!Take(u"<ContentInfo/>") && !(Take(u"<ContentInfo>") && ReadFields(record)))
                return false;
            records.push_back(std::move(record));
        }
    }

private:
    // Takes the text when it comes next; most tries fail at the first unit.
    bool Take(std::u16string_view text)
    {
        const std::size_t n = text.size();
        if (std::size_t(m_end - m_p) < n || *m_p != text.front() ||
            std::memcmp(m_p, text.data(), n * sizeof(char16_t)) != 0)
            return false;
        m_p += n;
        return true;
    }

    void SkipBlanks()
    {
        while (m_p != m_end && (*m_p == u' ' || *m_p == u'\t' || *m_p == u'\n' || *m_p == u'\r'))
            ++m_p;
    }

    bool AtEnd()
    {
        SkipBlanks();
        return m_p == m_end;
    }

    // The fields up to the end of the ContentInfo; the first of each name counts.
    bool ReadFields(ContentRecord& record)
    {
        unsigned found = 0;
        int next = 0;
        for (;;)
        {
            SkipBlanks();
            if (Take(u"</ContentInfo>"))
                return true;
            if (!Take(u"<"))
                return false;
            // The fields come in their order: the one after the last is tried first.
            int field = next;
            if (field == FieldCount || !Take(kFieldTags[field]))
            {
                field = 0;
                while (field < FieldCount && !Take(kFieldTags[field]))
                    ++field;
            }
            if (field == FieldCount)
                return false;
            next = field + 1;
            QStringView text;
            if (!Take(u"/>") && !(Take(u">") && ReadText(kFieldTags[field], text)))
                return false;
            if (found & (1u << field))
                continue;
            found |= 1u << field;
            SetField(record, field, text);
        }
    }

    // The text up to the element's end tag as the general reader gives it: every CR LF and
    // lone CR read as LF, the five predefined entities replaced.
    bool ReadText(std::u16string_view tag, QStringView& text)
    {
        const char16_t* const start = m_p;
        const char16_t* run = start;
        bool decoded = false;
        for (;;)
        {
            m_p = Utf16Scan::SkipPlain(m_p, m_end, kPlainText);
            if (m_p == m_end)
                return false;
            const char16_t c = *m_p;
            if (c == u'<')
                break;
            if (c == u']')
            {
                if (Take(u"]]>"))
                    return false;
                ++m_p;
                continue;
            }
            if (QChar::isHighSurrogate(c) && m_end - m_p > 1 && QChar::isLowSurrogate(m_p[1]))
            {
                m_p += 2;
                continue;
            }
            if (!decoded)
                m_decoded.clear();
            decoded = true;
            m_decoded.append(QStringView(run, m_p));
            if (c == u'\r')
            {
                m_decoded.append(u'\n');
                if (++m_p != m_end && *m_p == u'\n')
                    ++m_p;
            }
            else if (c == u'&' && Take(u"&amp;"))
                m_decoded.append(u'&');
            else if (c == u'&' && Take(u"&lt;"))
                m_decoded.append(u'<');
            else if (c == u'&' && Take(u"&gt;"))
                m_decoded.append(u'>');
            else if (c == u'&' && Take(u"&quot;"))
                m_decoded.append(u'"');
            else if (c == u'&' && Take(u"&apos;"))
                m_decoded.append(u'\'');
            else
                return false;
            run = m_p;
        }
        if (decoded)
        {
            m_decoded.append(QStringView(run, m_p));
            text = m_decoded;
        }
        else
            text = QStringView(start, m_p);
        return Take(u"</") && Take(tag) && Take(u">");
    }

    const char16_t* m_p;
    const char16_t* const m_end;
    QString m_decoded;
};

// The records of a file in the layout Save writes (UTF-16LE with its BOM); false for any
// other file.
bool ReadOwnLayout(const QByteArray& bytes, ContentRecords& records)
{
    if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN)
        return false;
    const char* data = bytes.constData();
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || data[0] != '\xFF' || data[1] != '\xFE' ||
        reinterpret_cast<quintptr>(data) % alignof(char16_t) != 0)
        return false;
    const auto* units = reinterpret_cast<const char16_t*>(data);
    if (OwnLayoutReader(units + 1, units + bytes.size() / 2).Read(records))
        return true;
    records.clear();
    return false;
}
} // namespace

QDomDocument CXmlContentDumFile::CreateDocument(const QString& rootName)
{
    return XmlDocument::WithRoot(rootName).Dom();
}

QDomElement CXmlContentDumFile::AddElement(QDomDocument& doc, QDomElement& parent,
                                           const QString& name, const QString& text)
{
    return XmlDocument::AddElement(doc, parent, name, text);
}

QString CXmlContentDumFile::GetChildText(const QDomElement& element, const QString& name, int index)
{
    return XmlDocument::GetChildText(element, name, index);
}

QDomDocument CXmlContentDumFile::BuildDocument(const ContentRecords& records)
{
    // Characters XML 1.0 cannot carry are replaced by the writer, so a saved file always
    // loads again.
    QDomDocument doc = CreateDocument(kRootName);
    QDomElement root = doc.documentElement();
    for (const ContentRecord& record : records)
    {
        QDomElement info = AddElement(doc, root, kInfoName, QString());
        AddElement(doc, info, kFieldNames[FieldLangType], QString::number(record.nLangType));
        AddElement(doc, info, kFieldNames[FieldProductNo], QString::number(record.nProductNo));
        AddElement(doc, info, kFieldNames[FieldProductImgCnt],
                   QString::number(record.nProductImgCnt));
        AddElement(doc, info, kFieldNames[FieldProductImg1], record.strProductImg1);
        AddElement(doc, info, kFieldNames[FieldProductImg2], record.strProductImg2);
        AddElement(doc, info, kFieldNames[FieldProductWav], record.strProductWav);
        AddElement(doc, info, kFieldNames[FieldProductTxt], Quoted(record.strProductTxt));
        AddElement(doc, info, kFieldNames[FieldProductCmt], Quoted(record.strProductCmt));
    }
    return doc;
}

namespace
{
// The result code shown after the system's reason, for the reasons a save meets most.
unsigned ResultCode(int error)
{
    switch (error)
    {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 0x80070070u; // the disk is full
    case EACCES:
    case EPERM:
    case EROFS:
        return 0x80070005u; // access denied
    default:
        return 0x80004005u;
    }
}

// The new file could not be made: the file is named, and why.
QString CannotCreate(const QString& shown, int error)
{
    return FormatString(IDS_FILE_IN_USE, {shown}) + QStringLiteral("\r\n\r\n") +
           FileReplacement::ErrorText(error);
}

bool Finish(FileReplacement& file, bool written, QString& error, Path::FileIdentity* identity)
{
    if (!written || !file.Commit())
    {
        // The old file stays whole.
        error = FormatString(IDS_XML_SAVE_FAILED,
                             {FileReplacement::ErrorText(file.Error()), ResultCode(file.Error())});
        return false;
    }
    if (identity && file.Written())
        *identity = *file.Written();
    return true;
}
} // namespace

bool CXmlContentDumFile::SaveDocument(const QString& path, const QDomDocument& doc, QString& error)
{
    FileReplacement file(path, FileKind::Document);
    if (file.Error() != 0)
    {
        error = CannotCreate(path, file.Error());
        return false;
    }
    // The writer's bytes (BOM, then UTF-16LE) go out as they are, without a second copy of a
    // file that may run to a hundred megabytes.
    return Finish(file, file.Write(XmlWriter::Serialize(doc)), error, nullptr);
}

bool CXmlContentDumFile::Save(const QString& path, const ContentRecords& records,
                              Path::FileIdentity* written)
{
    QString error;
    if (!SaveRecords(path, records, error, written))
    {
        AfxMessageBox(error, MB_OK);
        return false;
    }
    return true;
}

bool CXmlContentDumFile::Save(const OutputFolder& folder, const QString& name,
                              const ContentRecords& records)
{
    QString error;
    FileReplacement file(folder, name);
    if (file.Error() != 0)
        error = CannotCreate(
            folder.IsOpen() ? Path::Append(folder.Folder(), name) : folder.Folder(), file.Error());
    else if (WriteRecords(file, records, error, nullptr))
        return true;
    AfxMessageBox(error, MB_OK);
    return false;
}

bool CXmlContentDumFile::SaveRecords(const QString& path, const ContentRecords& records,
                                     QString& error, Path::FileIdentity* written)
{
    FileReplacement file(path, FileKind::Document);
    if (file.Error() != 0)
    {
        error = CannotCreate(path, file.Error());
        return false;
    }
    return WriteRecords(file, records, error, written);
}

bool CXmlContentDumFile::WriteRecords(FileReplacement& file, const ContentRecords& records,
                                      QString& error, Path::FileIdentity* written)
{
    // The bytes BuildDocument and SaveDocument give, without the tree, and handed to the file
    // in pieces: a full table gives a hundred megabytes.
    constexpr qsizetype Piece = 1 << 20;
    XmlWriter::Stream out;
    bool ok = true;
    const auto flush = [&]
    {
        ok = ok && file.Write(QByteArrayView(out.Data(), out.Size()));
        out.Clear();
    };
    if (records.empty())
        out.Leaf(0, kRootName, {});
    else
    {
        out.Open(0, kRootName);
        QString number;
        const auto numberField = [&](int field, int value)
        {
            number.setNum(value);
            out.Leaf(2, kFieldNames[field], number);
        };
        QString quoted;
        const auto quotedField = [&](int field, const QString& value)
        {
            quoted.clear();
            quoted.append(u'"').append(value).append(u'"');
            out.Leaf(2, kFieldNames[field], quoted);
        };
        for (const ContentRecord& record : records)
        {
            out.Open(1, kInfoName);
            numberField(FieldLangType, record.nLangType);
            numberField(FieldProductNo, record.nProductNo);
            numberField(FieldProductImgCnt, record.nProductImgCnt);
            out.Leaf(2, kFieldNames[FieldProductImg1], record.strProductImg1);
            out.Leaf(2, kFieldNames[FieldProductImg2], record.strProductImg2);
            out.Leaf(2, kFieldNames[FieldProductWav], record.strProductWav);
            quotedField(FieldProductTxt, record.strProductTxt);
            quotedField(FieldProductCmt, record.strProductCmt);
            out.Close(1, kInfoName);
            if (out.Size() >= Piece)
                flush();
        }
        out.Close(0, kRootName);
    }
    flush();
    return Finish(file, ok, error, written);
}

bool CXmlContentDumFile::Load(const QString& path, ContentRecords& records)
{
    return Load(Path::OpenRegularFile(path), records);
}

bool CXmlContentDumFile::Load(const Path::ReadOnlyFile& file, ContentRecords& records)
{
    records.clear();
    // Room for the bytes the file holds, not for the largest file accepted.
    if (!file.IsOpen() || file.Size() > MaxFileSize)
        return false;
    const std::optional<QByteArray> bytes = file.ReadAll();
    return bytes && LoadBytes(*bytes, records);
}

bool CXmlContentDumFile::LoadBytes(const QByteArray& bytes, ContentRecords& records)
{
    records.clear();
    return ReadOwnLayout(bytes, records) || LoadAnyLayout(bytes, records);
}

bool CXmlContentDumFile::LoadAnyLayout(const QByteArray& bytes, ContentRecords& records)
{
    // One pass over the text with the meaning of a DOM walk: a record per ContentInfo
    // anywhere below the root, in document order; each field the text of the first
    // element of its name below that ContentInfo (nested ones included).
    records.clear();
    struct Target
    {
        std::size_t record;
        int field;
    };
    struct Frame
    {
        qsizetype captureStart = -1;
        std::vector<Target> targets;
        bool isInfo = false;
    };
    struct OpenInfo
    {
        std::size_t record;
        unsigned found = 0;
    };
    std::vector<Frame> frames;
    std::vector<OpenInfo> infos;
    QString text;
    int captures = 0;
    bool rootSeen = false;

    QXmlStreamReader reader(bytes);
    while (!reader.atEnd())
    {
        switch (reader.readNext())
        {
        case QXmlStreamReader::DTD:
            // Documents with their own definitions are refused, entity expansion with them.
            records.clear();
            return false;
        case QXmlStreamReader::StartElement:
        {
            const QStringView name = reader.qualifiedName();
            if (frames.empty())
            {
                if (rootSeen || name != kRootName)
                {
                    records.clear();
                    return false;
                }
                rootSeen = true;
            }
            Frame frame;
            const int field = FieldIndex(name);
            if (field >= 0)
            {
                for (OpenInfo& info : infos)
                {
                    if (!(info.found & (1u << field)))
                    {
                        info.found |= 1u << field;
                        frame.targets.push_back({info.record, field});
                    }
                }
                if (!frame.targets.empty())
                {
                    frame.captureStart = text.size();
                    ++captures;
                }
            }
            else if (name == kInfoName && !frames.empty())
            {
                ContentRecord record;
                record.nLangType = 0;
                record.nProductNo = 0;
                records.push_back(record);
                infos.push_back({records.size() - 1, 0});
                frame.isInfo = true;
            }
            frames.push_back(std::move(frame));
            break;
        }
        case QXmlStreamReader::Characters:
            if (captures > 0)
                text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
        {
            Frame& frame = frames.back();
            if (!frame.targets.empty())
            {
                const QString value = text.mid(frame.captureStart);
                for (const Target& target : frame.targets)
                    SetField(records[target.record], target.field, value);
                if (--captures == 0)
                    text.clear();
            }
            if (frame.isInfo)
                infos.pop_back();
            frames.pop_back();
            break;
        }
        default:
            break;
        }
    }
    if (reader.hasError() || !rootSeen)
    {
        records.clear();
        return false;
    }
    return true;
}
