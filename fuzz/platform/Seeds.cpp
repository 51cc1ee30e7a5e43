// Writes XML documents into the fuzz corpus folder of the document target, so that fuzzing
// starts past the parser's first bytes: one in the layout the system writes (BOM, UTF-16LE,
// CR LF) with texts, an attribute and a comment that need escaping, and a plain UTF-8 one.
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace
{
bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 1;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("BindBody"));
    doc.appendChild(root);
    QDomElement item = XmlDocument::AddElement(doc, root, QStringLiteral("BindInfoItem"), {});
    XmlDocument::AddElement(doc, item, QStringLiteral("strName"),
                            QStringLiteral("A&<B>\"q' ]]> \u7761\u84ee"));
    XmlDocument::AddElement(doc, item, QStringLiteral("strResource"),
                            QStringLiteral("/p/contents/JP/CJP00012.BIN"));
    item.setAttribute(QStringLiteral("note"), QStringLiteral("a\"b<c>&\td\r\ne"));
    root.appendChild(doc.createComment(QStringLiteral(" written by the hub ")));

    const bool ok = Write(folder + QStringLiteral("/seed-utf16"), XmlWriter::Serialize(doc)) &&
                    Write(folder + QStringLiteral("/seed-utf8"),
                          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a x=\"1\"><b>t &amp; u</b>"
                          "<![CDATA[c<d]]><e/></a>\n");
    return ok ? 0 : 1;
}
