#include "platform/Path.h"
#include "platform/Shell.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace
{
// A document is handed over by a URL that names it: a path of text as the desktop's own
// URLs spell it, bytes that are no text percent-encoded as they stand.
TEST(Shell, FileUrlKeepsTheBytesOfThePath)
{
    struct Case
    {
        QByteArray native;
        QByteArray url;
    };
    const Case cases[] = {
        {"/no such/index_en.html", "file:///no%20such/index_en.html"},
        {"/no such/caf\xc3\xa9/\xf0\x9f\x98\x80.html",
         "file:///no%20such/caf%C3%A9/%F0%9F%98%80.html"},
        {"/no such/x!$&'()*+,;=:@~%#?[]/i.html", ""},
        {"/no such/\xff\xfe/r\xe9port/i.html", "file:///no%20such/%FF%FE/r%E9port/i.html"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.native.toStdString());
        const QString path = Path::DecodeName(c.native);
        const QByteArray url = Shell::FileUrl(path);
        // An empty `url` stands for the one the desktop services make.
        EXPECT_EQ(url, c.url.isEmpty() ? QUrl::fromLocalFile(path).toEncoded() : c.url);
        EXPECT_EQ(QByteArray::fromPercentEncoding(url.mid(7)), c.native);
    }
}
} // namespace
