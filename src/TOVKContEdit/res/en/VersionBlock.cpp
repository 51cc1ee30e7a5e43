#include "TOVKContEdit/res/VersionBlock.h"

#include <iterator>

namespace
{
constexpr VersionString Entries[] = {
    {u"CompanyName", u"Quorvane"},
    {u"FileDescription", u"TOVKContEditEN"},
    {u"FileVersion", u"1.1"},
    {u"InternalName", u"TOVKContEditEN"},
    {u"LegalCopyright", u"Copyright (C) 2026 Quorvane"},
    {u"LegalTrademarks", u"Quorvane KP Guide Editor - Contents"},
    {u"OriginalFilename", u"TOVKContEditEN"},
    {u"ProductName", u"Quorvane KP Guide Editor - Contents"},
    {u"ProductVersion", u"1.1"},
};
constexpr VersionLanguage Languages[] = {{0x041103A4, Entries, std::size(Entries)}};
constexpr VersionBlock Block = {Languages, std::size(Languages)};
} // namespace

const VersionBlock& ContEditVersionBlockEN()
{
    return Block;
}
