#include "TOVKContEdit/model/ContentLimits.h"

#include "TOVKContEdit/model/CharTables.h"
#include "TOVKContEdit/res/resource.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <algorithm>

const char16_t UnicodeControlCharTable[17] = {
    0x200E, 0x200F, 0x200D, 0x200C, 0x202A, 0x202B, 0x202D, 0x202E, 0x202C,
    0x206E, 0x206F, 0x206B, 0x206A, 0x206D, 0x206C, 0x001E, 0x001F,
};

bool IsUnicodeControlChar(char16_t c)
{
    return std::find(std::begin(UnicodeControlCharTable), std::end(UnicodeControlCharTable), c) !=
           std::end(UnicodeControlCharTable);
}

bool IsEmptyText(const QString& text)
{
    return text.isEmpty();
}

bool IsSupportedCharacter(char16_t c)
{
    return SupportedCharacterTable()[c] != 0;
}

int GetTextPixelWidth(int language, const QString& text)
{
    const GlyphWidthArray& widths = GlyphWidthTable(FontGroupOf(language));
    int sum = 0;
    for (QChar c : text)
    {
        if (c != u'\n' && c != u'\r')
            sum += widths[c.unicode()];
    }
    return sum;
}

QStringList SplitDescriptionLines(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

DescriptionMeasure MeasureDescription(int language, const QStringList& lines)
{
    DescriptionMeasure m;
    m.lines = std::max<int>(1, static_cast<int>(lines.size()));
    for (const QString& line : lines)
        m.characters += static_cast<int>(line.size());
    m.characters += 2 * (m.lines - 1);

    if (m.lines > MaxDescriptionLines)
    {
        m.linesText = FormatString(IDS_OVER_LINES, {m.lines - MaxDescriptionLines});
        m.overLimit = true;
    }
    if (m.characters > MaxDescriptionCharacters)
    {
        if (!m.linesText.isEmpty())
            m.linesText += QStringLiteral(", ");
        m.linesText += FormatString(IDS_OVER_CHARACTERS, {m.characters - MaxDescriptionCharacters});
        m.overLimit = true;
    }
    const int measured = std::min<int>(MaxDescriptionLines, static_cast<int>(lines.size()));
    for (int i = 0; i < measured; ++i)
    {
        const int pixels = GetTextPixelWidth(language, lines[i]);
        m.pixels.append(pixels);
        if (pixels > MaxDescriptionPixels)
        {
            m.pixelText += FormatString(IDS_OVER_PIXELS, {pixels - MaxDescriptionPixels});
            m.overLimit = true;
        }
        m.pixelText += u'\n';
    }
    return m;
}

DescriptionMeasure MeasureDescription(int language, const QString& text)
{
    return MeasureDescription(language, SplitDescriptionLines(text));
}

QChar ShownCharacter(char16_t c)
{
    return IsUnicodeControlChar(c) ? QChar(u' ') : QChar(c);
}

std::optional<char16_t> FirstUnsupportedCharacter(const QString& text)
{
    for (QChar c : text)
    {
        if (c != u'\n' && c != u'\r' && !IsSupportedCharacter(c.unicode()))
            return c.unicode();
    }
    return std::nullopt;
}

QString LanguageName(int language)
{
    return Strings::Load(IDS_LANGUAGE_NAME_FIRST + language);
}

QString CollectUnsupportedCharacters(int language, const QString& text)
{
    QString list;
    int count = 0;
    const QString name = LanguageName(language);
    for (QChar c : text)
    {
        if (c == u'\n' || c == u'\r' || IsSupportedCharacter(c.unicode()))
            continue;
        list += FormatString(
            IDS_UNSUPPORTED_CHARACTER,
            {name, QVariant::fromValue(ShownCharacter(c.unicode())), int(c.unicode())});
        if (++count > MaxListedUnsupportedCharacters)
            break;
    }
    return list;
}

bool CheckSupportedCharacters(int language, const QString& text, bool showMessages)
{
    const QString list = CollectUnsupportedCharacters(language, text);
    if (list.isEmpty())
        return true;
    if (showMessages)
        AfxMessageBox(list, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CheckDescription(int language, const QString& text, bool overLimit)
{
    if (IsEmptyText(text))
    {
        AfxMessageBox(FormatString(IDS_NO_DESCRIPTION, {LanguageName(language)}));
        return false;
    }
    if (!CheckSupportedCharacters(language, text, true))
        return false;
    if (overLimit)
    {
        AfxMessageBox(FormatString(IDS_DESCRIPTION_OVER_LIMITS, {LanguageName(language)}));
        return false;
    }
    return true;
}
