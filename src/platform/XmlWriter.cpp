#include "platform/XmlWriter.h"

#include "platform/AtomicFile.h"

#include <QDomNamedNodeMap>

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

void WriteIndent(QString& out, int depth)
{
    out += QString(depth, u'\t');
}

QString StartTag(const QDomElement& element)
{
    QString tag = u'<' + element.tagName();
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.size(); ++i)
    {
        const QDomAttr attr = attributes.item(i).toAttr();
        tag += u' ' + attr.name() + QStringLiteral("=\"") + EscapeAttribute(attr.value()) + u'"';
    }
    return tag;
}

QString NodeText(const QDomNode& node)
{
    // CDATA is written as escaped text: same content, and no "]]>" can break it.
    return EscapeText(node.toCharacterData().data());
}

void WriteElement(QString& out, const QDomElement& element, int depth)
{
    WriteIndent(out, depth);
    out += StartTag(element);
    bool hasElements = false;
    bool hasContent = false;
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
    {
        if (child.isElement() || child.isComment() || child.isProcessingInstruction())
            hasElements = true;
        if (child.isElement() || child.isText() || child.isCDATASection() || child.isComment() ||
            child.isProcessingInstruction())
            hasContent = true;
    }
    if (!hasContent)
    {
        out += QStringLiteral("/>") + Eol;
        return;
    }
    out += u'>';
    if (!hasElements)
    {
        // Text only: on the element's own line.
        for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
            if (child.isText() || child.isCDATASection())
                out += NodeText(child);
        out += QStringLiteral("</") + element.tagName() + u'>' + Eol;
        return;
    }
    out += Eol;
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
    {
        if (child.isElement())
            WriteElement(out, child.toElement(), depth + 1);
        else if (child.isText() || child.isCDATASection())
        {
            WriteIndent(out, depth + 1);
            out += NodeText(child) + Eol;
        }
        else if (child.isComment())
        {
            WriteIndent(out, depth + 1);
            out += QStringLiteral("<!--") + child.toComment().data() + QStringLiteral("-->") + Eol;
        }
        else if (child.isProcessingInstruction())
        {
            const QDomProcessingInstruction pi = child.toProcessingInstruction();
            WriteIndent(out, depth + 1);
            out +=
                QStringLiteral("<?") + pi.target() + u' ' + pi.data() + QStringLiteral("?>") + Eol;
        }
    }
    WriteIndent(out, depth);
    out += QStringLiteral("</") + element.tagName() + u'>' + Eol;
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
            out += QStringLiteral("<!--") + child.toComment().data() + QStringLiteral("-->") + Eol;
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
