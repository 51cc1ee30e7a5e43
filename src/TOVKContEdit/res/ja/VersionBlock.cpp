#include "TOVKContEdit/res/VersionBlock.h"

#include <iterator>

namespace
{
constexpr VersionString Entries[] = {
    {u"CompanyName", u"Quorvane"},
    {u"FileDescription", u"TOVKContEditJP"},
    {u"FileVersion", u"1.1"},
    {u"InternalName", u"TOVKContEditJP"},
    {u"LegalCopyright", u"Copyright (C) 2026 Quorvane"},
    {u"LegalTrademarks", u"QuorvaneKP ガイド エディタ - コンテンツ"},
    {u"OriginalFilename", u"TOVKContEditJP"},
    {u"ProductName", u"QuorvaneKP ガイド エディタ - コンテンツ"},
    {u"ProductVersion", u"1.1"},
};
constexpr VersionLanguage Languages[] = {{0x041103A4, Entries, std::size(Entries)}};
constexpr VersionBlock Block = {Languages, std::size(Languages)};
} // namespace

const VersionBlock& ContEditVersionBlockJA()
{
    return Block;
}
