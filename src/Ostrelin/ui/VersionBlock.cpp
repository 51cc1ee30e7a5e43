#include "Ostrelin/ui/VersionBlock.h"

#include <iterator>

namespace
{
constexpr VersionString Entries[] = {
    {u"CompanyName", u"Quorvane"},
    {u"FileDescription", u"OstrelinJP"},
    {u"FileVersion", u"1.1"},
    {u"InternalName", u"Ostrelin"},
    {u"LegalCopyright", u"Copyright (C) 2026 Quorvane"},
    {u"OriginalFilename", u"OstrelinJP"},
    {u"ProductName", u"QuorvaneKP ガイド エディタ"},
    {u"ProductVersion", u"1.1"},
};
constexpr VersionLanguage Languages[] = {{0x041104B0, Entries, std::size(Entries)}};
constexpr VersionBlock Block = {Languages, std::size(Languages)};
} // namespace

const VersionBlock& OstrelinVersionBlock()
{
    return Block;
}
