#pragma once
// The version resource of the program, compiled into each deliverable and queried by key
// and language / code page, like the original's string file info.
#include <QString>
#include <cstddef>

struct VersionString
{
    const char16_t* key; // "FileVersion", "ProductName", ...
    const char16_t* value;
};

struct VersionLanguage
{
    unsigned langCodePage; // 0x041104B0: language in the high word, code page in the low
    const VersionString* strings;
    std::size_t count;
};

struct VersionBlock
{
    const VersionLanguage* languages;
    std::size_t count;
};

namespace VersionInfo
{
// The program's block (not owned); nullptr removes it.
void Install(const VersionBlock* block);
inline void Install(const VersionBlock& block)
{
    Install(&block);
}
bool IsInstalled();
// True with the value when the block has the key under that language / code page.
bool Query(const QString& key, unsigned langCodePage, QString& value);
// The sub-block path of the original: "\StringFileInfo\041104B0\FileVersion".
QString SubBlock(const QString& key, unsigned langCodePage);
} // namespace VersionInfo
