// Any bytes: the reader never crashes, and whatever it accepts the writer writes back in a
// form that loads again and writes the same. Text of blanks only is the one thing a second
// reading may drop (readers treat it as layout), so such trees are only loaded again.
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <cstdlib>

namespace
{
bool HasBlankOnlyText(const QDomNode& node)
{
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
    {
        if ((child.isText() || child.isCDATASection()) && child.nodeValue().trimmed().isEmpty())
            return true;
        if (HasBlankOnlyText(child))
            return true;
    }
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    XmlDocument doc;
    if (!doc.LoadBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))))
        return 0;
    const QString once = XmlWriter::SerializeText(doc.Dom());
    XmlDocument back;
    if (!back.LoadBytes(XmlWriter::Serialize(doc.Dom())))
        std::abort();
    if (!HasBlankOnlyText(doc.Dom()) && XmlWriter::SerializeText(back.Dom()) != once)
        std::abort();
    return 0;
}
