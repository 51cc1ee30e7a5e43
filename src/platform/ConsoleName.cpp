#include "platform/ConsoleName.h"

#include "platform/Path.h"

namespace
{
bool ActedOnByTerminals(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0x061C ||
           c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// The letter of the two-character escape of the character, 0 when it has none.
char EscapeLetter(char32_t c)
{
    static constexpr struct
    {
        char32_t c;
        char letter;
    } kLetters[] = {{u'\\', '\\'}, {u'\a', 'a'}, {u'\b', 'b'}, {u'\t', 't'},
                    {u'\n', 'n'},  {u'\v', 'v'}, {u'\f', 'f'}, {u'\r', 'r'}};
    for (const auto& entry : kLetters)
    {
        if (entry.c == c)
            return entry.letter;
    }
    return 0;
}

void AppendOctal(QString& out, unsigned byte)
{
    out += u'\\';
    out += QChar(u'0' + ((byte >> 6) & 7));
    out += QChar(u'0' + ((byte >> 3) & 7));
    out += QChar(u'0' + (byte & 7));
}
} // namespace

QString ConsoleName(QStringView name)
{
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i)
    {
        if (Path::IsKeptByte(name, i))
        {
            AppendOctal(out, name[i].unicode() & 0xFF);
            continue;
        }
        char32_t c = name[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < name.size() &&
                          QChar::isLowSurrogate(name[i + 1].unicode());
        if (pair)
            c = QChar::surrogateToUcs4(name[i], name[i + 1]);
        if (const char letter = EscapeLetter(c))
        {
            out += u'\\';
            out += QLatin1Char(letter);
            continue;
        }
        if (ActedOnByTerminals(c))
        {
            for (const char byte : QString::fromUcs4(&c, 1).toUtf8())
                AppendOctal(out, static_cast<unsigned char>(byte));
            continue;
        }
        out += name[i];
        if (pair)
            out += name[++i];
    }
    return out;
}
