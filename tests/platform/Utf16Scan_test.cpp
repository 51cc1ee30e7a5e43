// The UTF-16 scan: the vector paths stop where the one-unit reference stops, for every unit
// at every place in a block of eight and in the tail, and the class holds what its slots say.
#include "platform/Utf16Scan.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace
{
struct Case
{
    const char* name;
    Utf16Class plain;
    std::function<bool(char16_t)> expected;
};

const Case& CaseAt(std::size_t i)
{
    static const Case cases[] = {
        {"one range, four stops", Utf16Class({{0x20, 0xD7FF}}, u"", u"&<>\""),
         [](char16_t c)
         { return c >= 0x20 && c < 0xD800 && c != '&' && c != '<' && c != '>' && c != '"'; }},
        {"two ranges, two extras, three stops",
         Utf16Class({{0x20, 0xD7FF}, {0xE000, 0xFFFD}}, u"\t\n", u"<&]"),
         [](char16_t c)
         {
             return c == '\t' || c == '\n' ||
                    (c >= 0x20 && c < 0xD800 && c != '<' && c != '&' && c != ']') ||
                    (c >= 0xE000 && c <= 0xFFFD);
         }},
        {"no stops", Utf16Class({{u'a', u'z'}}, u"", u""),
         [](char16_t c) { return c >= 'a' && c <= 'z'; }},
        {"a stop inside an extra's place", Utf16Class({{0, 0x7F}}, u"\u00e9", u"\u00e9\x7f"),
         [](char16_t c) { return c < 0x7F; }},
        {"the whole top of the plane", Utf16Class({{0x8000, 0xFFFF}}, u"", u"\uFFFF"),
         [](char16_t c) { return c >= 0x8000 && c != 0xFFFF; }},
        {"extras only", Utf16Class({}, u" \t", u""),
         [](char16_t c) { return c == ' ' || c == '\t'; }},
    };
    return cases[i];
}
constexpr std::size_t kCases = 6;

// A unit the class holds, for filling a block around the unit under test.
char16_t PlainFiller(const Utf16Class& plain)
{
    for (char16_t c = 0;; ++c)
        if (plain.IsPlain(c))
            return c;
}

TEST(Utf16Scan, TheClassAndBothPathsAgreeOnEveryUnitAtEveryPlace)
{
    for (std::size_t k = 0; k < kCases; ++k)
    {
        const Case& c = CaseAt(k);
        SCOPED_TRACE(c.name);
        const char16_t filler = PlainFiller(c.plain);
        // Long enough for two blocks of eight and a tail.
        std::vector<char16_t> text(19, filler);
        const char16_t* const begin = text.data();
        const char16_t* const end = begin + text.size();
        int mismatches = 0;
        for (unsigned u = 0; u <= 0xFFFF && mismatches < 5; ++u)
        {
            const char16_t unit = char16_t(u);
            const bool plain = c.expected(unit);
            if (c.plain.IsPlain(unit) != plain)
            {
                ADD_FAILURE() << "IsPlain of " << std::hex << u;
                ++mismatches;
            }
            for (std::size_t at = 0; at < text.size(); ++at)
            {
                text[at] = unit;
                const char16_t* stop = plain ? end : begin + at;
                char16_t copy[19];
                if (Utf16Scan::SkipPlain(begin, end, c.plain) != stop ||
                    Utf16Scan::ScanScalar(begin, end, c.plain) != stop ||
                    Utf16Scan::CopyPlain(begin, end - begin, copy, c.plain) != plain ||
                    !std::equal(begin, end, copy))
                {
                    ADD_FAILURE() << "unit " << std::hex << u << " at " << std::dec << at;
                    ++mismatches;
                }
                text[at] = filler;
            }
        }
    }
}

TEST(Utf16Scan, ACopyKeepsEveryUnitAndSaysWhetherAllWerePlain)
{
    const Utf16Class plain({{0x20, 0xD7FF}}, u"", u"&<>");
    const std::u16string texts[] = {u"",
                                    u"/a/b",
                                    u"/a/very/long/path/to/C00012.BIN\"q\"",
                                    u"/a/very/long/path/to/C00012&.BIN",
                                    u"x<",
                                    u"\U0001F600 tail"};
    for (const std::u16string& text : texts)
    {
        std::vector<char16_t> to(text.size() + 1, u'#');
        const bool expected = Utf16Scan::ScanScalar(text.data(), text.data() + text.size(),
                                                    plain) == text.data() + text.size();
        EXPECT_EQ(Utf16Scan::CopyPlain(text.data(), qsizetype(text.size()), to.data(), plain),
                  expected);
        EXPECT_EQ(std::u16string(to.data(), text.size()), text);
        EXPECT_EQ(to.back(), u'#'); // nothing beyond
    }
}
} // namespace
