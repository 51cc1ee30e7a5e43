// Build-time generator: turns the *.strings files of a resource folder into one C++ source
// that defines `const StringTable& SYMBOL()`.
//
// Line format: <decimal id> <blanks or TABs> "<C string literal, UTF-8>"; lines starting
// with '#' and blank lines are skipped. Escapes: \n \r \t \" \\ \' \0 \a \b \f \v \?.
//
// usage: StringTableGen SYMBOL OUTPUT.cpp INPUT.strings...
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace
{
struct Failure
{
    std::string message;
};

// Appends the code point as UTF-16 units.
void AppendUtf16(std::vector<unsigned>& out, unsigned cp)
{
    if (cp >= 0x10000)
    {
        cp -= 0x10000;
        out.push_back(0xD800 + (cp >> 10));
        out.push_back(0xDC00 + (cp & 0x3FF));
    }
    else
        out.push_back(cp);
}

// Decodes one UTF-8 sequence starting at s[i]; advances i.
unsigned DecodeUtf8(const std::string& s, std::size_t& i)
{
    const unsigned char b0 = static_cast<unsigned char>(s[i]);
    int extra = 0;
    unsigned cp = 0;
    unsigned minimum = 0;
    if (b0 < 0x80)
    {
        ++i;
        return b0;
    }
    if ((b0 & 0xE0) == 0xC0)
    {
        extra = 1;
        cp = b0 & 0x1F;
        minimum = 0x80;
    }
    else if ((b0 & 0xF0) == 0xE0)
    {
        extra = 2;
        cp = b0 & 0x0F;
        minimum = 0x800;
    }
    else if ((b0 & 0xF8) == 0xF0)
    {
        extra = 3;
        cp = b0 & 0x07;
        minimum = 0x10000;
    }
    else
        throw Failure{"invalid UTF-8"};
    if (i + extra >= s.size())
        throw Failure{"truncated UTF-8"};
    for (int k = 1; k <= extra; ++k)
    {
        const unsigned char b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            throw Failure{"invalid UTF-8"};
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        throw Failure{"invalid UTF-8"};
    i += extra + 1;
    return cp;
}

// Parses the literal that starts at s[i] == '"'; the rest of the line may only be blank.
std::vector<unsigned> ParseLiteral(const std::string& s, std::size_t i)
{
    std::vector<unsigned> units;
    ++i;
    for (;;)
    {
        if (i >= s.size())
            throw Failure{"unterminated string"};
        const char c = s[i];
        if (c == '"')
        {
            ++i;
            break;
        }
        if (c == '\\')
        {
            if (i + 1 >= s.size())
                throw Failure{"unterminated escape"};
            const char e = s[i + 1];
            unsigned v = 0;
            switch (e)
            {
            case 'n':
                v = '\n';
                break;
            case 'r':
                v = '\r';
                break;
            case 't':
                v = '\t';
                break;
            case '"':
                v = '"';
                break;
            case '\\':
                v = '\\';
                break;
            case '\'':
                v = '\'';
                break;
            case '?':
                v = '?';
                break;
            case '0':
                v = 0;
                break;
            case 'a':
                v = '\a';
                break;
            case 'b':
                v = '\b';
                break;
            case 'f':
                v = '\f';
                break;
            case 'v':
                v = '\v';
                break;
            default:
                throw Failure{std::string("unknown escape \\") + e};
            }
            units.push_back(v);
            i += 2;
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x20)
            throw Failure{"control character inside the string"};
        AppendUtf16(units, DecodeUtf8(s, i));
    }
    for (; i < s.size(); ++i)
        if (s[i] != ' ' && s[i] != '\t' && s[i] != '\r')
            throw Failure{"text after the string"};
    return units;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::cerr << "usage: StringTableGen SYMBOL OUTPUT.cpp INPUT.strings...\n";
        return 2;
    }
    const std::string symbol = argv[1];
    const std::string output = argv[2];
    std::map<unsigned, std::vector<unsigned>> table;
    std::map<unsigned, std::string> origin;
    for (int a = 3; a < argc; ++a)
    {
        const std::string file = argv[a];
        std::ifstream in(file, std::ios::binary);
        if (!in)
        {
            std::cerr << file << ": cannot be read\n";
            return 1;
        }
        std::string line;
        int number = 0;
        while (std::getline(in, line))
        {
            ++number;
            const std::string where = file + ":" + std::to_string(number);
            if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
                line.erase(0, 3);
            try
            {
                std::size_t i = 0;
                while (i < line.size() && (IsBlank(line[i]) || line[i] == '\r'))
                    ++i;
                if (i == line.size() || line[i] == '#')
                    continue;
                unsigned long long id = 0;
                const std::size_t start = i;
                while (i < line.size() && line[i] >= '0' && line[i] <= '9')
                {
                    id = id * 10 + unsigned(line[i] - '0');
                    if (id > 0xFFFFFFFFull)
                        throw Failure{"id out of range"};
                    ++i;
                }
                if (i == start)
                    throw Failure{"a line must start with a decimal id"};
                if (i == line.size() || !IsBlank(line[i]))
                    throw Failure{"blank expected after the id"};
                while (i < line.size() && IsBlank(line[i]))
                    ++i;
                if (i == line.size() || line[i] != '"')
                    throw Failure{"string literal expected"};
                std::vector<unsigned> units = ParseLiteral(line, i);
                const unsigned key = unsigned(id);
                if (origin.count(key))
                    throw Failure{"id " + std::to_string(key) + " already defined at " +
                                  origin[key]};
                origin[key] = where;
                table[key] = std::move(units);
            }
            catch (const Failure& f)
            {
                std::cerr << where << ": error: " << f.message << "\n";
                return 1;
            }
        }
    }

    std::ostringstream src;
    src << "// Generated from the *.strings files of the resource folder. Do not edit.\n"
        << "#include \"platform/Strings.h\"\n\nnamespace\n{\n";
    for (const auto& [id, units] : table)
    {
        src << "const char16_t s" << id << "[] = {";
        for (unsigned u : units)
            src << "0x" << std::hex << u << std::dec << ", ";
        src << "0};\n";
    }
    if (!table.empty())
    {
        src << "const StringEntry entries[] = {\n";
        for (const auto& entry : table)
            src << "    {" << entry.first << "u, s" << entry.first << "},\n";
        src << "};\n";
    }
    src << "} // namespace\n\nconst StringTable& " << symbol << "();\n"
        << "const StringTable& " << symbol << "()\n{\n";
    if (table.empty())
        src << "    static const StringTable table(nullptr, 0);\n";
    else
        src << "    static const StringTable table(entries, sizeof entries / sizeof entries[0]);\n";
    src << "    return table;\n}\n";

    const std::string text = src.str();
    const std::string temp = output + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush())
        {
            std::cerr << temp << ": cannot be written\n";
            return 1;
        }
    }
    if (std::rename(temp.c_str(), output.c_str()) != 0)
    {
        std::cerr << output << ": cannot be written\n";
        return 1;
    }
    return 0;
}
