#include "platform/XmlWriter.h"

#include "platform/AtomicFile.h"

#include <QDomNamedNodeMap>
#include <QList>
#include <QtEndian>
#include <algorithm>

namespace
{
const QString Eol = QStringLiteral("\r\n");

bool IsValidXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Appends the text escaped; what XML 1.0 cannot carry becomes U+FFFD, so a written file
// always loads again. Attribute values also keep their quotes and line breaks.
void AppendEscaped(QString& out, const QString& text, bool attribute)
{
    const qsizetype n = text.size();
    const QChar* p = text.constData();
    for (qsizetype i = 0; i < n; ++i)
    {
        const char16_t c = p[i].unicode();
        if (c >= 0x20 && c < 0xD800 && c != u'&' && c != u'<' && c != u'>' && c != u'"')
        {
            out += p[i];
            continue;
        }
        switch (c)
        {
        case u'&':
            out += QLatin1String("&amp;");
            continue;
        case u'<':
            out += QLatin1String("&lt;");
            continue;
        case u'>':
            out += QLatin1String("&gt;");
            continue;
        case u'"':
            out += attribute ? QLatin1String("&quot;") : QLatin1String("\"");
            continue;
        case u'\t':
            out += attribute ? QLatin1String("&#9;") : QLatin1String("\t");
            continue;
        case u'\n':
            out += attribute ? QLatin1String("&#10;") : QLatin1String("\n");
            continue;
        case u'\r':
            out += attribute ? QLatin1String("&#13;") : QLatin1String("\r");
            continue;
        default:
            break;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && p[i + 1].isLowSurrogate())
        {
            out += p[i];
            out += p[++i];
        }
        else if (QChar::isSurrogate(c) || !IsValidXmlChar(c))
            out += QChar(0xFFFD);
        else
            out += p[i];
    }
}

QString Clean(const QString& text)
{
    return XmlWriter::ReplaceInvalidXmlChars(text);
}

void WriteIndent(QString& out, int depth)
{
    out += QString(depth, u'\t');
}

void AppendStartTag(QString& out, const QDomElement& element)
{
    out += u'<';
    out += Clean(element.tagName());
    if (!element.hasAttributes())
        return;
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
        out += u' ';
        out += sorted[i].first;
        out += QLatin1String("=\"");
        AppendEscaped(out, sorted[i].second, true);
        out += u'"';
    }
}

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

// CDATA is written as escaped text: same content, and no "]]>" can break it.
void AppendNodeText(QString& out, const QDomNode& node)
{
    AppendEscaped(out, CharacterData(node), false);
}

// Writes the node and everything below it on the current line: used for mixed content,
// where added line breaks and indentation would change the text.
void WriteInline(QString& out, const QDomNode& node)
{
    if (node.isText() || node.isCDATASection())
    {
        AppendNodeText(out, node);
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
    AppendStartTag(out, element);
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
    // The common leaf, empty or with one text: written without a second walk.
    const QDomNode first = element.firstChild();
    if (first.isNull() ||
        ((first.isText() || first.isCDATASection()) && first.nextSibling().isNull()))
    {
        const QString text = first.isNull() ? QString() : first.nodeValue();
        AppendStartTag(out, element);
        if (text.isEmpty())
            out += QLatin1String("/>");
        else
        {
            out += u'>';
            AppendEscaped(out, text, false);
            out += QLatin1String("</");
            out += Clean(element.tagName());
            out += u'>';
        }
        out += Eol;
        return;
    }
    bool hasMarkup = false;
    bool hasText = false;
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
    {
        hasMarkup = hasMarkup || IsMarkup(child);
        // Text of blanks only between elements is layout, which a reader drops.
        hasText = hasText || HasNonBlank(CharacterData(child));
    }
    if (!hasMarkup || hasText)
    {
        // Empty, text only, or text mixed with elements: the whole element on its own line.
        WriteInline(out, element);
        out += Eol;
        return;
    }
    AppendStartTag(out, element);
    out += u'>';
    out += Eol;
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
    QByteArray bytes(2 + text.size() * 2, Qt::Uninitialized);
    bytes[0] = '\xFF';
    bytes[1] = '\xFE';
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data() + 2);
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
