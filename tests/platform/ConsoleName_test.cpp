// File names shown on a console: whatever a terminal would act on comes out as an escape,
// everything it only shows comes out as it is.
#include "platform/ConsoleName.h"

#include "platform/Path.h"

#include <gtest/gtest.h>

TEST(ConsoleName, EscapesWhatATerminalActsOnAndKeepsTheRest)
{
    const struct
    {
        QByteArray name; // as the file system holds it
        QString shown;
    } cases[] = {
        {"plain/name.DAT", "plain/name.DAT"},
        {"with blank.bmp", "with blank.bmp"},
        {"\xe4\xbd\x9c\xe5\x93\x81.bmp", QStringLiteral("作品.bmp")},
        {"\xf0\x9f\x98\x80.bmp", QStringLiteral("\U0001F600.bmp")},
        // An escape sequence that would retitle the window.
        {"a\x1b]0;owned\x07.bmp", "a\\033]0;owned\\a.bmp"},
        {"tab\there\nline\rcr\b\f\v", "tab\\there\\nline\\rcr\\b\\f\\v"},
        {"del\x7f", "del\\177"},
        {"back\\slash", "back\\\\slash"},
        // C1 controls (the one-byte CSI), a line separator, a direction override.
        {"c1\xc2\x9b"
         "31m",
         "c1\\302\\23331m"},
        {"ls\xe2\x80\xa8"
         "x",
         "ls\\342\\200\\250x"},
        {"rlo\xe2\x80\xae"
         "txt.exe",
         "rlo\\342\\200\\256txt.exe"},
        // Bytes that are no UTF-8 text.
        {"card\xff\xfe", "card\\377\\376"},
        {"r\xe9ports", "r\\351ports"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConsoleName(Path::DecodeName(c.name)), c.shown) << c.name.toHex().toStdString();
}

TEST(ConsoleName, NoByteOrCharacterReachesTheTerminalAsAControl)
{
    QByteArray every;
    for (int byte = 1; byte < 256; ++byte)
        every += char(byte);
    for (char32_t c = 0x80; c < 0x3000; ++c)
        every += QString::fromUcs4(&c, 1).toUtf8();
    const QString shown = ConsoleName(Path::DecodeName(every));
    for (const QChar c : shown)
    {
        const char16_t u = c.unicode();
        EXPECT_FALSE(u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x202E ||
                     (u >= 0xDC80 && u <= 0xDCFF))
            << std::hex << unsigned(u);
    }
}
