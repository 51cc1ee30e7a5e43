#include "platform/XmlDocument.h"

#include "platform/Path.h"

#include <QDomNodeList>

XmlDocument XmlDocument::WithRoot(const QString& rootName)
{
    XmlDocument doc;
    doc.m_doc.appendChild(doc.m_doc.createElement(rootName));
    return doc;
}

bool XmlDocument::LoadFile(const QString& path)
{
    m_doc = QDomDocument();
    // Opened once, without waiting: a pipe would hold the open, a device would never end.
    const Path::ReadOnlyFile file = Path::OpenRegularFile(path);
    if (!file.IsOpen())
    {
        m_error = QStringLiteral("not a file");
        return false;
    }
    if (file.Size() > MaxFileSize)
    {
        m_error = QStringLiteral("file too large");
        return false;
    }
    const std::optional<QByteArray> bytes = file.ReadAll();
    if (!bytes)
    {
        m_error = QStringLiteral("read error");
        return false;
    }
    return LoadBytes(*bytes);
}

bool XmlDocument::LoadBytes(const QByteArray& bytes)
{
    m_doc = QDomDocument();
    m_error.clear();
    if (bytes.size() > MaxFileSize)
    {
        m_error = QStringLiteral("document too large");
        return false;
    }
    QString message;
    int line = 0;
    int column = 0;
    QDomDocument doc;
    if (!doc.setContent(bytes, false, &message, &line, &column) || doc.documentElement().isNull())
    {
        m_error = QStringLiteral("%1 (line %2, column %3)").arg(message).arg(line).arg(column);
        return false;
    }
    m_doc = doc;
    return true;
}

QDomElement XmlDocument::AddElement(QDomDocument& doc, QDomNode parent, const QString& name,
                                    const QString& text)
{
    QDomElement element = doc.createElement(name);
    parent.appendChild(element);
    if (!text.isEmpty())
        element.appendChild(doc.createTextNode(text));
    return element;
}

QString XmlDocument::GetChildText(const QDomElement& element, const QString& name, int index)
{
    const QDomNodeList list = element.elementsByTagName(name);
    if (index < 0 || index >= list.size())
        return QString();
    return list.item(index).toElement().text();
}
