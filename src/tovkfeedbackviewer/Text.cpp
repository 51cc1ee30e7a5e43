#include "tovkfeedbackviewer/Text.h"

#include "platform/Utf16Scan.h"
#include "tovkfeedbackviewer/Resource.h"

QString GetLanguageName(unsigned index)
{
    if (index >= 1 && index <= 8)
        return LoadViewerString(IDS_JAPANESE + index);
    return LoadViewerString(IDS_JAPANESE);
}

std::array<QString, 16> GetLanguageNames()
{
    std::array<QString, 16> names;
    for (unsigned i = 0; i < names.size(); ++i)
        names[i] = GetLanguageName(i);
    return names;
}

void AppendEscapedXml(QString& out, QStringView text)
{
    // Runs of characters written as they are go out in one piece.
    static constexpr Utf16Class plain({{0x20, 0xD7FF}, {0xE000, 0xFFFD}}, u"\t", u"&<>\"'");
    const char16_t* const units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype count = text.size();
    qsizetype run = 0;
    for (qsizetype i = 0; i < count; ++i)
    {
        i = Utf16Scan::SkipPlain(units + i, units + count, plain) - units;
        if (i == count)
            break;
        const char16_t c = units[i];
        out.append(text.sliced(run, i - run));
        run = i + 1;
        switch (c)
        {
        case u'\n':
            out += QLatin1StringView("\r\n");
            continue;
        case u'\r':
            continue;
        case u'&':
            out += QLatin1StringView("&amp;");
            continue;
        case u'<':
            out += QLatin1StringView("&lt;");
            continue;
        case u'>':
            out += QLatin1StringView("&gt;");
            continue;
        case u'"':
            out += QLatin1StringView("&quot;");
            continue;
        case u'\'':
            out += QLatin1StringView("&apos;");
            continue;
        default:
            break;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < count &&
            QChar::isLowSurrogate(text[i + 1].unicode()))
        {
            out += text[i];
            out += text[i + 1];
            run = ++i + 1;
            continue;
        }
        out += QChar(QChar::ReplacementCharacter);
    }
    out.append(text.sliced(run));
}

QString EscapeXml(QStringView text)
{
    QString out;
    out.reserve(text.size());
    AppendEscapedXml(out, text);
    return out;
}

void AppendEscapedCsv(QString& out, QStringView text)
{
    // Runs without a line break or quote go out in one piece.
    const qsizetype count = text.size();
    qsizetype run = 0;
    for (qsizetype i = 0; i < count; ++i)
    {
        const char16_t c = text[i].unicode();
        if (c != u'\n' && c != u'\r' && c != u'"')
            continue;
        out.append(text.sliced(run, i - run));
        run = i + 1;
        if (c == u'\n')
            out += QLatin1StringView("\r\n");
        else if (c == u'"')
            out += QLatin1StringView("\"\"");
    }
    out.append(text.sliced(run));
}

QString EscapeCsv(QStringView text)
{
    QString out;
    out.reserve(text.size());
    AppendEscapedCsv(out, text);
    return out;
}

void AppendCsvField(QString& line, QStringView field)
{
    if (!line.isEmpty())
        line += u'\t';
    line += u'"';
    AppendEscapedCsv(line, field);
    line += u'"';
}

void AppendLineEnd(QString& line)
{
    line += QLatin1StringView("\r\n");
}

void AppendTwoDigits(QString& out, unsigned value)
{
    if (value >= 100)
    {
        AppendNumber(out, value);
        return;
    }
    const char digits[2] = {char('0' + value / 10), char('0' + value % 10)};
    out += QLatin1StringView(digits, 2);
}

void AppendHexByte(QString& out, unsigned value)
{
    static const char digits[] = "0123456789ABCDEF";
    const char pair[2] = {digits[(value >> 4) & 0xF], digits[value & 0xF]};
    out += QLatin1StringView(pair, 2);
}

void AppendNumber(QString& out, long long value)
{
    char buffer[24];
    char* end = buffer + sizeof buffer;
    char* p = end;
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    do
    {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (negative)
        *--p = '-';
    out += QLatin1StringView(p, end - p);
}

void AppendDate(QString& out, std::uint32_t packedTime)
{
    out += QLatin1StringView("20");
    AppendTwoDigits(out, packedTime & 0x3F);
    out += u'/';
    AppendTwoDigits(out, (packedTime >> 6) & 0xF);
    out += u'/';
    AppendTwoDigits(out, (packedTime >> 10) & 0x1F);
}

void AppendTime(QString& out, std::uint32_t packedTime)
{
    AppendTwoDigits(out, (packedTime >> 15) & 0x1F);
    out += u':';
    AppendTwoDigits(out, (packedTime >> 20) & 0x3F);
    out += u':';
    AppendTwoDigits(out, (packedTime >> 26) & 0x3F);
}

void AppendMac(QString& out, const std::uint8_t* mac)
{
    static const char digits[] = "0123456789ABCDEF";
    char text[12];
    for (int i = 0; i < 6; ++i)
    {
        text[2 * i] = digits[mac[i] >> 4];
        text[2 * i + 1] = digits[mac[i] & 0xF];
    }
    out += QLatin1StringView(text, 12);
}

void AppendXmlRecordStart(QString& out, long long number, std::uint32_t packedTime,
                          const std::uint8_t* mac, QStringView language)
{
    out += QLatin1StringView("\t<table_data no=\"");
    AppendNumber(out, number);
    out += QLatin1StringView("\">\r\n\t\t<date>");
    AppendDate(out, packedTime);
    out += QLatin1StringView("</date>\r\n\t\t<time>");
    AppendTime(out, packedTime);
    out += QLatin1StringView("</time>\r\n\t\t<mac>");
    AppendMac(out, mac);
    out += QLatin1StringView("</mac>\r\n\t\t<lang>");
    out += language;
    out += QLatin1StringView("</lang>\r\n");
}

void AppendCsvRecordStart(QString& out, std::uint32_t packedTime, const std::uint8_t* mac,
                          QStringView language)
{
    out += u'"';
    AppendDate(out, packedTime);
    out += QLatin1StringView("\"\t\"");
    AppendTime(out, packedTime);
    out += QLatin1StringView("\"\t\"");
    AppendMac(out, mac);
    out += QLatin1StringView("\"\t\"");
    AppendEscapedCsv(out, language);
    out += u'"';
}
