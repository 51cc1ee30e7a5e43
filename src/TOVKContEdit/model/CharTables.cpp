#include "TOVKContEdit/model/CharTables.h"

#include <cstring>
#include <memory>

namespace
{
constexpr int LanguageJapanese = 0;
constexpr int LanguageChinese = 6;
constexpr int LanguageKorean = 7;

struct Tables
{
    SupportedCharacterArray supported{};
    GlyphWidthArray japanese{};
    GlyphWidthArray chinese{};
    GlyphWidthArray korean{};
};

// Reads the data file; a file that does not hold together leaves every table at zero, so
// nothing counts as supported.
class Reader
{
public:
    Reader(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Take(std::size_t count, const unsigned char*& out)
    {
        if (m_size - m_offset < count)
            return false;
        out = m_data + m_offset;
        m_offset += count;
        return true;
    }
    bool U16(std::uint32_t& value)
    {
        const unsigned char* p;
        if (!Take(2, p))
            return false;
        value = p[0] | (p[1] << 8);
        return true;
    }
    bool U32(std::uint32_t& value)
    {
        const unsigned char* p;
        if (!Take(4, p))
            return false;
        value = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
        return true;
    }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

bool ReadOverrides(Reader& reader, GlyphWidthArray& table)
{
    std::uint32_t count;
    if (!reader.U16(count))
        return false;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        std::uint32_t code;
        const unsigned char* width;
        if (!reader.U16(code) || !reader.Take(1, width))
            return false;
        table[code] = *width;
    }
    return true;
}

bool Parse(const unsigned char* data, std::size_t size, Tables& t)
{
    Reader reader(data, size);
    const unsigned char* magic;
    const unsigned char* bits;
    const unsigned char* widths;
    std::uint32_t count;
    if (!reader.Take(4, magic) || std::memcmp(magic, "QCT1", 4) != 0 || !reader.U32(count) ||
        count > 65536 || !reader.Take(8192, bits) || !reader.Take(count, widths))
        return false;
    std::uint32_t next = 0;
    for (std::uint32_t c = 0; c < 65536; ++c)
    {
        if (!(bits[c >> 3] & (1u << (c & 7))))
            continue;
        if (next == count)
            return false;
        t.supported[c] = 1;
        t.japanese[c] = widths[next++];
    }
    if (next != count)
        return false;
    t.chinese = t.japanese;
    t.korean = t.japanese;
    return ReadOverrides(reader, t.chinese) && ReadOverrides(reader, t.korean);
}

const Tables& TheTables()
{
    static const std::unique_ptr<Tables> tables = []
    {
        auto t = std::make_unique<Tables>();
        if (!Parse(CharTablesData(), CharTablesSize(), *t))
            *t = Tables{};
        return t;
    }();
    return *tables;
}
} // namespace

FontGroup FontGroupOf(int language)
{
    switch (language)
    {
    case LanguageJapanese:
        return FontGroup::Japanese;
    case LanguageChinese:
        return FontGroup::Chinese;
    case LanguageKorean:
        return FontGroup::Korean;
    default:
        return FontGroup::European;
    }
}

const SupportedCharacterArray& SupportedCharacterTable()
{
    return TheTables().supported;
}

const GlyphWidthArray& GlyphWidthTable(FontGroup group)
{
    const Tables& t = TheTables();
    switch (group)
    {
    case FontGroup::Chinese:
        return t.chinese;
    case FontGroup::Korean:
        return t.korean;
    case FontGroup::Japanese:
    case FontGroup::European:
        break;
    }
    return t.japanese;
}
