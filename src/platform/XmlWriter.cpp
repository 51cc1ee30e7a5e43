#include "platform/XmlWriter.h"

#include "platform/AtomicFile.h"
#include "platform/Utf16Scan.h"

#include <QDomNamedNodeMap>
#include <QList>
#include <QtEndian>
#include <algorithm>

namespace
{
bool IsValidXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Units written as they are in element text: what stops is a control character, '&', '<',
// '>', '"' (kept in element text, escaped in attributes), a surrogate or above.
constexpr Utf16Class kPlainUnits({{0x20, 0xD7FF}}, u"", u"&<>\"");
// The same for texts copied without a look at each stop: a '"' is kept there.
constexpr Utf16Class kCopiedUnits({{0x20, 0xD7FF}}, u"", u"&<>");

// The first index from i on whose unit is not plain; n when there is none.
qsizetype SkipPlain(const char16_t* p, qsizetype i, qsizetype n)
{
    return Utf16Scan::SkipPlain(p + i, p + n, kPlainUnits) - p;
}

const char16_t kDeclaration[] = u"<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>";
} // namespace

// The file's bytes, written straight into one buffer as UTF-16LE, BOM first: a content file
// of 90,000 records runs to a hundred megabytes, so no piece is made as a string of its own.
class XmlWriter::Buffer
{
public:
    Buffer()
    {
        Reserve(1 << 16);
        Units(u"\uFEFF", 1);
        Literal(kDeclaration);
        Eol();
    }

    QByteArray Take()
    {
        m_bytes.resize(m_size);
        return std::move(m_bytes);
    }
    const char* Data() const { return m_data; }
    qsizetype Size() const { return m_size; }
    void Clear() { m_size = 0; }

    char* End() { return m_data + m_size; }
    // The units from End() to end were written in the machine's order.
    void Written(const char* end)
    {
        const qsizetype count = (end - End()) / 2;
        qToLittleEndian<char16_t>(End(), count, End());
        m_size += 2 * count;
    }
    void Grow(qsizetype bytes)
    {
        if (m_size + bytes > m_bytes.size())
            Reserve(m_size + bytes);
    }
    void Units(const char16_t* units, qsizetype count)
    {
        if (m_size + 2 * count > m_bytes.size())
            Reserve(std::max(2 * m_bytes.size(), m_size + 2 * count));
        qToLittleEndian<char16_t>(units, count, m_data + m_size);
        m_size += 2 * count;
    }
    void Unit(char16_t unit) { Units(&unit, 1); }
    void Text(QStringView text) { Units(text.utf16(), text.size()); }
    template <qsizetype N> void Literal(const char16_t (&text)[N]) { Units(text, N - 1); }
    void Eol() { Literal(u"\r\n"); }
    void Indent(int depth)
    {
        static constexpr char16_t Tabs[] = u"\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
        for (; depth > 0; depth -= 16)
            Units(Tabs, std::min(depth, 16));
    }

    // The text with what XML 1.0 cannot carry written as U+FFFD.
    void Clean(QStringView text)
    {
        const char16_t* p = text.utf16();
        const qsizetype n = text.size();
        qsizetype run = 0;
        for (qsizetype i = 0; i < n; ++i)
        {
            const char16_t c = p[i];
            if (c >= 0x20 && c < 0xD800)
                continue;
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            {
                ++i;
                continue;
            }
            if (!QChar::isSurrogate(c) && IsValidXmlChar(c))
                continue;
            Units(p + run, i - run);
            Unit(0xFFFD);
            run = i + 1;
        }
        Units(p + run, n - run);
    }

    // The text escaped; what XML 1.0 cannot carry becomes U+FFFD, so a written file always
    // loads again. Attribute values also keep their quotes and line breaks. Runs of plain
    // characters go out in one piece.
    void Escaped(QStringView text, bool attribute)
    {
        const char16_t* p = text.utf16();
        const qsizetype n = text.size();
        qsizetype run = 0;
        for (qsizetype i = SkipPlain(p, 0, n); i < n; i = SkipPlain(p, i + 1, n))
        {
            const char16_t c = p[i];
            Units(p + run, i - run);
            run = i + 1;
            switch (c)
            {
            case u'&':
                Literal(u"&amp;");
                continue;
            case u'<':
                Literal(u"&lt;");
                continue;
            case u'>':
                Literal(u"&gt;");
                continue;
            case u'"':
                attribute ? Literal(u"&quot;") : Unit(c);
                continue;
            case u'\t':
                attribute ? Literal(u"&#9;") : Unit(c);
                continue;
            case u'\n':
                attribute ? Literal(u"&#10;") : Unit(c);
                continue;
            case u'\r':
                attribute ? Literal(u"&#13;") : Unit(c);
                continue;
            default:
                break;
            }
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            {
                Units(p + i, 2);
                run = ++i + 1;
            }
            else if (QChar::isSurrogate(c) || !IsValidXmlChar(c))
                Unit(0xFFFD);
            else
                Unit(c);
        }
        Units(p + run, n - run);
    }

    void StartTag(const QDomNode& element, QStringView tag)
    {
        Unit(u'<');
        Clean(tag);
        if (!element.hasAttributes())
            return;
        // The DOM keeps no attribute order: by name, so the same tree always gives the same
        // bytes. A name that only differed by characters XML cannot carry is written once.
        const QDomNamedNodeMap attributes = element.attributes();
        QList<std::pair<QString, QString>> sorted;
        for (int i = 0; i < attributes.size(); ++i)
        {
            const QDomAttr attr = attributes.item(i).toAttr();
            sorted.append({XmlWriter::ReplaceInvalidXmlChars(attr.name()), attr.value()});
        }
        std::sort(sorted.begin(), sorted.end());
        for (qsizetype i = 0; i < sorted.size(); ++i)
        {
            if (i > 0 && sorted[i].first == sorted[i - 1].first)
                continue;
            Unit(u' ');
            Text(sorted[i].first);
            Literal(u"=\"");
            Escaped(sorted[i].second, true);
            Unit(u'"');
        }
    }

    void EndTag(QStringView tag)
    {
        Literal(u"</");
        Clean(tag);
        Unit(u'>');
    }

    // An element holding only text (none when empty), on a line of its own.
    void Leaf(int depth, QStringView tag, const QDomNode& element, QStringView text)
    {
        Indent(depth);
        StartTag(element, tag);
        if (text.isEmpty())
            Literal(u"/>");
        else
        {
            Unit(u'>');
            Escaped(text, false);
            EndTag(tag);
        }
        Eol();
    }

    // Writes the node and everything below it on the current line: used for mixed content,
    // where added line breaks and indentation would change the text.
    void Inline(const QDomNode& node);
    void Element(const QDomNode& element, int depth);

private:
    // The buffer grows by doubling; m_size bytes of it are written.
    void Reserve(qsizetype bytes)
    {
        m_bytes.resize(bytes);
        m_data = m_bytes.data();
    }

    QByteArray m_bytes;
    char* m_data = nullptr;
    qsizetype m_size = 0;
};

namespace
{
QString CharacterData(const QDomNode& node)
{
    return node.isText() || node.isCDATASection() ? node.nodeValue() : QString();
}

bool HasNonBlank(const QString& text)
{
    for (const QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n')
            return true;
    return false;
}

bool IsMarkup(const QDomNode& node)
{
    return node.isElement() || node.isComment() || node.isProcessingInstruction();
}
} // namespace

// CDATA is written as escaped text: same content, and no "]]>" can break it.
void XmlWriter::Buffer::Inline(const QDomNode& node)
{
    if (node.isText() || node.isCDATASection())
    {
        Escaped(node.nodeValue(), false);
        return;
    }
    if (node.isComment())
    {
        Literal(u"<!--");
        Clean(node.toComment().data());
        Literal(u"-->");
        return;
    }
    if (node.isProcessingInstruction())
    {
        const QDomProcessingInstruction pi = node.toProcessingInstruction();
        Literal(u"<?");
        Clean(pi.target());
        if (!pi.data().isEmpty())
        {
            Unit(u' ');
            Clean(pi.data());
        }
        Literal(u"?>");
        return;
    }
    if (!node.isElement())
        return;
    const QString tag = node.toElement().tagName();
    StartTag(node, tag);
    bool empty = true;
    for (QDomNode child = node.firstChild(); empty && !child.isNull(); child = child.nextSibling())
        empty = (child.isText() || child.isCDATASection()) && CharacterData(child).isEmpty();
    if (empty)
    {
        Literal(u"/>");
        return;
    }
    Unit(u'>');
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
        Inline(child);
    EndTag(tag);
}

void XmlWriter::Buffer::Element(const QDomNode& element, int depth)
{
    const QString tag = element.toElement().tagName();
    // The common leaf, empty or with one text: written without a second walk.
    const QDomNode first = element.firstChild();
    if (first.isNull() ||
        ((first.isText() || first.isCDATASection()) && first.nextSibling().isNull()))
    {
        Leaf(depth, tag, element, first.isNull() ? QString() : first.nodeValue());
        return;
    }
    Indent(depth);
    bool hasMarkup = false;
    bool hasText = false;
    for (QDomNode child = first; !child.isNull(); child = child.nextSibling())
    {
        hasMarkup = hasMarkup || IsMarkup(child);
        // Text of blanks only between elements is layout, which a reader drops.
        hasText = hasText || HasNonBlank(CharacterData(child));
    }
    if (!hasMarkup || hasText)
    {
        // Empty, text only, or text mixed with elements: the whole element on its own line.
        Inline(element);
        Eol();
        return;
    }
    StartTag(element, tag);
    Unit(u'>');
    Eol();
    for (QDomNode child = first; !child.isNull(); child = child.nextSibling())
    {
        if (child.isElement())
            Element(child, depth + 1);
        else if (IsMarkup(child))
        {
            Indent(depth + 1);
            Inline(child);
            Eol();
        }
    }
    Indent(depth);
    EndTag(tag);
    Eol();
}

XmlWriter::Stream::Stream() : m_buffer(std::make_unique<Buffer>()) {}

XmlWriter::Stream::~Stream() = default;

void XmlWriter::Stream::Open(int depth, QStringView tag)
{
    m_buffer->Indent(depth);
    m_buffer->Unit(u'<');
    m_buffer->Clean(tag);
    m_buffer->Unit(u'>');
    m_buffer->Eol();
}

void XmlWriter::Stream::Close(int depth, QStringView tag)
{
    m_buffer->Indent(depth);
    m_buffer->EndTag(tag);
    m_buffer->Eol();
}

void XmlWriter::Stream::Leaf(int depth, QStringView tag, QStringView text)
{
    m_buffer->Leaf(depth, tag, QDomNode(), text);
}

void XmlWriter::Stream::Markup(QStringView markup)
{
    m_buffer->Text(markup);
}

void XmlWriter::Stream::Text(QStringView text)
{
    m_buffer->Escaped(text, false);
}

void XmlWriter::Stream::Reserve(qsizetype bytes)
{
    m_buffer->Grow(bytes);
}

char16_t* XmlWriter::Stream::Room(qsizetype units)
{
    m_buffer->Grow(2 * units);
    return reinterpret_cast<char16_t*>(m_buffer->End());
}

void XmlWriter::Stream::Commit(const char16_t* end)
{
    m_buffer->Written(reinterpret_cast<const char*>(end));
}

bool XmlWriter::CopyPlainText(QStringView text, char16_t* to)
{
    return Utf16Scan::CopyPlain(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), to,
                                kCopiedUnits);
}

const char* XmlWriter::Stream::Data() const
{
    return m_buffer->Data();
}

qsizetype XmlWriter::Stream::Size() const
{
    return m_buffer->Size();
}

void XmlWriter::Stream::Clear()
{
    m_buffer->Clear();
}

QByteArray XmlWriter::Serialize(const QDomDocument& doc)
{
    Buffer out;
    for (QDomNode child = doc.firstChild(); !child.isNull(); child = child.nextSibling())
    {
        if (child.isElement())
            out.Element(child, 0);
        else if (child.isComment())
        {
            out.Inline(child);
            out.Eol();
        }
    }
    return out.Take();
}

QString XmlWriter::SerializeText(const QDomDocument& doc)
{
    const QByteArray bytes = Serialize(doc);
    const qsizetype units = (bytes.size() - 2) / 2;
    QString text(units, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData() + 2, units, text.data());
    return text;
}

bool XmlWriter::Save(const QDomDocument& doc, const QString& path, QString* error)
{
    return ReplaceFile(path, Serialize(doc), error);
}

bool XmlWriter::HasInvalidXmlChars(const QString& text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i)
    {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
        {
            ++i;
            continue;
        }
        if (c.isSurrogate() || !IsValidXmlChar(c.unicode()))
            return true;
    }
    return false;
}

QString XmlWriter::ReplaceInvalidXmlChars(const QString& text)
{
    if (!HasInvalidXmlChars(text))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i)
    {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
        {
            out += c;
            out += text[++i];
            continue;
        }
        out += (c.isSurrogate() || !IsValidXmlChar(c.unicode())) ? QChar(0xFFFD) : c;
    }
    return out;
}
