#pragma once
// An XML DOM document (QDomDocument underneath) with the reading and building calls the
// programs use. Loading is safe on malformed, truncated, huge or non-XML input.
#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QString>

class XmlDocument
{
public:
    // Files larger than this are refused without being read.
    static constexpr qint64 MaxFileSize = 512ll * 1024 * 1024;

    XmlDocument() = default;

    // A document holding only the root element.
    static XmlDocument WithRoot(const QString& rootName);

    bool LoadFile(const QString& path);
    bool LoadBytes(const QByteArray& bytes);
    QString ErrorString() const { return m_error; }

    QDomElement Root() const { return m_doc.documentElement(); }
    QDomElement CreateElement(const QString& name) { return m_doc.createElement(name); }
    // Appends a new element under parent, with a text node when text is not empty.
    QDomElement AddElement(QDomNode parent, const QString& name, const QString& text = QString())
    {
        return AddElement(m_doc, parent, name, text);
    }
    // The same for a parent in a bare DOM document.
    static QDomElement AddElement(QDomDocument& doc, QDomNode parent, const QString& name,
                                  const QString& text = QString());
    static QDomNode AppendChild(QDomNode parent, const QDomNode& child)
    {
        return parent.appendChild(child);
    }
    // The text of the index-th element of that name below the element ("" when none).
    static QString GetChildText(const QDomElement& element, const QString& name, int index = 0);

    QDomDocument& Dom() { return m_doc; }
    const QDomDocument& Dom() const { return m_doc; }

private:
    QDomDocument m_doc;
    QString m_error;
};
