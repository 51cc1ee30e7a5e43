// Any bytes: the reader never crashes, and whatever it accepts the writer writes back in a
// form that loads again with the same text.
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    XmlDocument doc;
    if (!doc.LoadBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))))
        return 0;
    const QString once = XmlWriter::SerializeText(doc.Dom());
    XmlDocument back;
    if (!back.LoadBytes(XmlWriter::Serialize(doc.Dom())))
        std::abort();
    if (XmlWriter::SerializeText(back.Dom()) != once)
        std::abort();
    return 0;
}
