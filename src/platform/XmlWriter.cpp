#include "platform/XmlWriter.h"

#include "platform/AtomicFile.h"

#include <QDomNamedNodeMap>
#include <QList>
#include <algorithm>

namespace
{
const QString Eol = QStringLiteral("\r\n");

bool IsValidXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// What XML 1.0 cannot carry is replaced, so a written file always loads again.
QString EscapeText(const QString& raw)
{
    const QString text = XmlWriter::ReplaceInvalidXmlChars(raw);
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
    {
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else
            out += c;
    }
    return out;
}

QString EscapeAttribute(const QString& raw)
{
    const QString text = XmlWriter::ReplaceInvalidXmlChars(raw);
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
    {
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else if (c == u'"')
            out += QStringLiteral("&quot;");
        else if (c == u'\t')
            out += QStringLiteral("&#9;");
        else if (c == u'\n')
            out += QStringLiteral("&#10;");
        else if (c == u'\r')
            out += QStringLiteral("&#13;");
        else
            out += c;
    }
    return out;
}

QString Clean(const QString& text)
{
    return XmlWriter::ReplaceInvalidXmlChars(text);
}

void WriteIndent(QString& out, int depth)
{
    out += QString(depth, u'\t');
}

QString StartTag(const QDomElement& element)
{
    QString tag = u'<' + Clean(element.tagName());
    // The DOM keeps no attribute order: by name, so the same tree always gives the same bytes.
    // A name that only differed by characters XML cannot carry is written once.
    const QDomNamedNodeMap attributes = element.attributes();
    QList<std::pair<QString, QString>> sorted;
    for (int i = 0; i < attributes.size(); ++i)
    {
        const QDomAttr attr = attributes.item(i).toAttr();
        sorted.append({Clean(attr.name()), attr.value()});
    }
    std::sort(sorted.begin(), sorted.end());
    for (qsizetype i = 0; i < sorted.size(); ++i)
    {
        if (i > 0 && sorted[i].first == sorted[i - 1].first)
            continue;
        tag += u' ' + sorted[i].first + QStringLiteral("=\"") + EscapeAttribute(sorted[i].second) +
               u'"';
    }
    return tag;
}

QString CharacterData(const QDomNode& node)
{
    if (node.isCDATASection())
        return node.toCDATASection().data();
    if (node.isText())
        return node.toText().data();
    return QString();
}

// CDATA is written as escaped text: same content, and no "]]>" can break it.
QString NodeText(const QDomNode& node)
{
    return EscapeText(CharacterData(node));
}

// Writes the node and everything below it on the current line: used for mixed content,
// where added line breaks and indentation would change the text.
void WriteInline(QString& out, const QDomNode& node)
{
    if (node.isText() || node.isCDATASection())
    {
        out += NodeText(node);
        return;
    }
    if (node.isComment())
    {
        out += QStringLiteral("<!--") + Clean(node.toComment().data()) + QStringLiteral("-->");
        return;
    }
    if (node.isProcessingInstruction())
    {
        const QDomProcessingInstruction pi = node.toProcessingInstruction();
        out += QStringLiteral("<?") + Clean(pi.target());
        if (!pi.data().isEmpty())
            out += u' ' + Clean(pi.data());
        out += QStringLiteral("?>");
        return;
    }
    if (!node.isElement())
        return;
    const QDomElement element = node.toElement();
    out += StartTag(element);
    bool empty = true;
    for (QDomNode child = element.firstChild(); empty && !child.isNull();
         child = child.nextSibling())
        empty = (child.isText() || child.isCDATASection()) && CharacterData(child).isEmpty();
    if (empty)
    {
        out += QStringLiteral("/>");
        return;
    }
    out += u'>';
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
        WriteInline(out, child);
    out += QStringLiteral("</") + Clean(element.tagName()) + u'>';
}

bool IsMarkup(const QDomNode& node)
{
    return node.isElement() || node.isComment() || node.isProcessingInstruction();
}

void WriteElement(QString& out, const QDomElement& element, int depth)
{
    WriteIndent(out, depth);
    bool hasMarkup = false;
    bool hasText = false;
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
    {
        hasMarkup = hasMarkup || IsMarkup(child);
        // Text of blanks only between elements is layout, which a reader drops.
        hasText = hasText || !CharacterData(child).trimmed().isEmpty();
    }
    if (!hasMarkup || hasText)
    {
        // Empty, text only, or text mixed with elements: the whole element on its own line.
        WriteInline(out, element);
        out += Eol;
        return;
    }
    out += StartTag(element) + u'>' + Eol;
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
    {
        if (child.isElement())
            WriteElement(out, child.toElement(), depth + 1);
        else if (IsMarkup(child))
        {
            WriteIndent(out, depth + 1);
            WriteInline(out, child);
            out += Eol;
        }
    }
    WriteIndent(out, depth);
    out += QStringLiteral("</") + Clean(element.tagName()) + u'>' + Eol;
}
} // namespace

QString XmlWriter::SerializeText(const QDomDocument& doc)
{
    QString out =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>") + Eol;
    for (QDomNode child = doc.firstChild(); !child.isNull(); child = child.nextSibling())
    {
        if (child.isElement())
            WriteElement(out, child.toElement(), 0);
        else if (child.isComment())
        {
            WriteInline(out, child);
            out += Eol;
        }
    }
    return out;
}

QByteArray XmlWriter::Serialize(const QDomDocument& doc)
{
    const QString text = SerializeText(doc);
    QByteArray bytes;
    bytes.reserve(2 + text.size() * 2);
    bytes.append('\xFF');
    bytes.append('\xFE');
    for (const QChar c : text)
    {
        const char16_t u = c.unicode();
        bytes.append(char(u & 0xFF));
        bytes.append(char(u >> 8));
    }
    return bytes;
}

bool XmlWriter::Save(const QDomDocument& doc, const QString& path, QString* error)
{
    return WriteFileAtomically(path, Serialize(doc), error);
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
