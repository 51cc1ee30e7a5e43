// Any bytes: the reader never crashes, and whatever it accepts the writer writes back in a
// form that loads again and writes the same. Two kinds of text a second reading may give
// otherwise, so such trees are only loaded again: blanks only (readers treat it as layout),
// and a carriage return, which the writer leaves as it stands (as the system's files hold
// their line breaks) and every reader turns into a line feed.
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <cstdlib>

namespace
{
bool HasTextReadAgainOtherwise(const QDomNode& node)
{
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
    {
        if ((child.isText() || child.isCDATASection()) &&
            (child.nodeValue().trimmed().isEmpty() || child.nodeValue().contains(u'\r')))
            return true;
        if (HasTextReadAgainOtherwise(child))
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
    if (!HasTextReadAgainOtherwise(doc.Dom()) && XmlWriter::SerializeText(back.Dom()) != once)
        std::abort();
    return 0;
}
