#include "common/TestSupport.h"
#include "platform/Strings.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

const StringTable& PlatformTestStrings();

namespace
{
TEST(StringTable, GeneratedTableCarriesEveryFileAndEscape)
{
    const StringTable& table = PlatformTestStrings();
    EXPECT_EQ(table.Size(), 6u);
    EXPECT_EQ(table.Load(1), u"plain");
    EXPECT_EQ(table.Load(2), QString::fromUtf16(u"tab\there\r\nquote \" backslash \\"));
    EXPECT_EQ(table.Load(170), QString::fromUtf8("日本語のテキスト"));
    EXPECT_EQ(table.Load(3), u"second file %1!s! %2!d!");
    EXPECT_TRUE(table.Contains(4));
    EXPECT_EQ(table.Load(4), QString());
    EXPECT_EQ(table.Load(5), QString::fromUtf8("🎵 beyond the basic plane"));
    EXPECT_FALSE(table.Contains(99));
    EXPECT_EQ(table.Load(99), QString());
}

TEST(StringTable, InstalledTableServesLoadAndFormat)
{
    Strings::Install(PlatformTestStrings());
    EXPECT_EQ(Strings::Load(1), u"plain");
    EXPECT_EQ(Strings::Load(12345), QString());
    EXPECT_EQ(FormatString(3, {QStringLiteral("x"), 7, 99}), u"second file x 7");
}

// The generator refuses malformed tables with the file and line, and builds nothing.
TEST(StringTable, GeneratorRejectsMalformedLines)
{
    struct Case
    {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"1 \"a\"\n1 \"b\"\n", "already defined"},
        {"x \"a\"\n", "decimal id"},
        {"1\"a\"\n", "blank expected"},
        {"1 \"open\n", "unterminated"},
        {"1 \"a\" trailing\n", "text after"},
        {"1 \"bad \\q escape\"\n", "unknown escape"},
        {"1 \"\xC3\x28\"\n", "UTF-8"},
        {"1 a\n", "literal expected"},
    };
    const QString folder = TestSupport::NewFolder();
    for (const Case& c : cases)
    {
        const QString input = TestSupport::WriteFile(folder + "/t.strings", c.text);
        const QString output = folder + "/out.cpp";
        QProcess gen;
        gen.start(QStringLiteral(QUORVANE_STRGEN), {"Sym", output, input});
        ASSERT_TRUE(gen.waitForFinished(10000));
        EXPECT_EQ(gen.exitCode(), 1) << c.text;
        const QString err = QString::fromUtf8(gen.readAllStandardError());
        EXPECT_TRUE(err.contains(c.message)) << c.text << " -> " << err.toStdString();
        EXPECT_TRUE(err.contains(input + ":")) << err.toStdString();
        EXPECT_FALSE(QFile::exists(output));
    }
}

TEST(FormatMessage, PrintfStyleInserts)
{
    struct Case
    {
        QString pattern;
        QList<QVariant> args;
        QString expected;
    };
    const Case cases[] = {
        {"%d rows", {42}, "42 rows"},
        {"%i|%-4i|%4d|%04d|%+d|% d", {-3, 5, 7, -7, 8, 9}, "-3|5   |   7|-007|+8| 9"},
        {"%u %x %X %08x %#x", {-1, 255, 255, 0xBEEF, 16}, "4294967295 ff FF 0000beef 0x10"},
        {"%02d:%02d", {5, 12}, "05:12"},
        {"%05d", {123456}, "123456"},
        {"%s and %s", {QStringLiteral("a"), QStringLiteral("b")}, "a and b"},
        {"[%5s][%-5s][%.2s]", {"ab", "cd", "xyz"}, "[   ab][cd   ][xy]"},
        {"%c%c", {QChar(u'Z'), 0x3042}, QString::fromUtf8("Zあ")},
        {"100%% done", {}, "100% done"},
        {"%08lX", {0x041104B0}, "041104B0"},
        {"%I64d", {qlonglong(1) << 40}, "1099511627776"},
        {"%d", {qlonglong(1) << 32}, "0"},
        {"%d %s", {QStringLiteral("12")}, "12 "},
        {"trailing %", {}, "trailing %"},
        {"%q unknown", {}, "%q unknown"},
        {"%s", {QString::number(3)}, "3"},
        {"%.3d", {7}, "007"},
        {"%*d", {4, 9}, "   9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatMessage(c.pattern, c.args).toStdString(), c.expected.toStdString());
}

TEST(FormatMessage, PositionalInserts)
{
    struct Case
    {
        QString pattern;
        QList<QVariant> args;
        QString expected;
    };
    const Case cases[] = {
        {"File Image %2!d! of %1!s! is not a BMP file.",
         {"Work", 3},
         "File Image 3 of Work is not a BMP file."},
        {"Image %3!d! is not a %1!d!x%2!d!.", {320, 240, 2}, "Image 2 is not a 320x240."},
        // More arguments than named: only the named ones show.
        {"%1!s! only", {"one", "two", "three"}, "one only"},
        {"%2!s!-%1!s!-%2!s!", {"a", "b"}, "b-a-b"},
        {"%1!s! and %1", {"x"}, "x and x"},
        {"%4 without bangs is no insert", {}, "%4 without bangs is no insert"},
        {"%1!04x!", {255}, "00ff"},
        {"%3!s!<", {"a"}, "<"},
        {"%10!s!", {1, 2, 3, 4, 5, 6, 7, 8, 9, "ten"}, "ten"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatMessage(c.pattern, c.args).toStdString(), c.expected.toStdString());
}
} // namespace
