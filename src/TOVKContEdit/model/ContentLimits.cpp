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

bool IsLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

namespace
{
// Calls line(start, length) for each line of the text and returns the number of lines.
template <typename Line> int ForEachLine(const QString& text, Line line)
{
    int count = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
    {
        const char16_t c = text[i].unicode();
        if (!IsLineBreak(c))
            continue;
        line(start, i - start);
        ++count;
        // CR LF is one break.
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    line(start, text.size() - start);
    return count + 1;
}
} // namespace

QString NormalizeLineBreaks(const QString& text)
{
    bool normal = true;
    for (qsizetype i = 0; i < text.size() && normal; ++i)
    {
        const char16_t c = text[i].unicode();
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        else if (IsLineBreak(c))
            normal = false;
    }
    if (normal)
        return text;
    QString out;
    out.reserve(text.size() + 16);
    bool first = true;
    ForEachLine(text,
                [&](qsizetype start, qsizetype length)
                {
                    if (!first)
                        out += QLatin1StringView("\r\n");
                    first = false;
                    out += QStringView(text).sliced(start, length);
                });
    return out;
}

QStringList SplitDescriptionLines(const QString& text)
{
    QStringList lines;
    ForEachLine(text, [&](qsizetype start, qsizetype length)
                { lines.append(text.sliced(start, length)); });
    return lines;
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

std::optional<char32_t> FirstUnsupportedCharacter(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
    {
        const QChar c = text[i];
        if (c == u'\n' || c == u'\r' || IsSupportedCharacter(c.unicode()))
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            return QChar::surrogateToUcs4(c, text[i + 1]);
        return c.unicode();
    }
    return std::nullopt;
}

QString DescribeCharacter(char32_t c)
{
    const QString digits = QString::number(uint(c), 16).toUpper();
    const QString code = c > 0xFFFF ? QStringLiteral("U+") + digits
                                    : QStringLiteral("0x") + digits.rightJustified(4, u'0');
    switch (QChar::category(c))
    {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return code;
    default:
        return u'[' + QString::fromUcs4(&c, 1) + u']' + code;
    }
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
