#include "platform/XmlDocument.h"

#include "platform/Path.h"

#include <QDomNodeList>
#include <QFile>

XmlDocument XmlDocument::WithRoot(const QString& rootName)
{
    XmlDocument doc;
    doc.m_doc.appendChild(doc.m_doc.createElement(rootName));
    return doc;
}

bool XmlDocument::LoadFile(const QString& path)
{
    m_doc = QDomDocument();
    const QString resolved = Path::Resolve(path);
    // A pipe would hold the open, a device would never end: only regular files are read.
    if (!Path::IsRegularFile(resolved))
    {
        m_error = QStringLiteral("not a file");
        return false;
    }
    QFile file(resolved);
    if (!file.open(QIODevice::ReadOnly))
    {
        m_error = file.errorString();
        return false;
    }
    if (file.size() > MaxFileSize)
    {
        m_error = QStringLiteral("file too large");
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
    {
        m_error = file.errorString();
        return false;
    }
    return LoadBytes(bytes);
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
