#include "TOVKContEdit/model/OutputLog.h"

#include "TOVKContEdit/res/resource.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QStringDecoder>
#include <climits>

namespace
{
const QString kPrefix = QStringLiteral("Error : marvex : %1");
const QString kConverter = QStringLiteral("marvex");
const QByteArray kAborted = QByteArrayLiteral("ABORTED!!");
// Reading stops here: a log is a page of text, never this large.
constexpr qint64 kMaxLogBytes = 64ll * 1024 * 1024;

// The leading decimal number of the text like _wtoi: blanks skipped, optional sign, digits
// until the first other character; 0 without digits, saturated on overflow.
long long LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
    {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return negative ? -value : value;
}

QString ConvertLine(const QByteArray& bytes, const QByteArray& encoding, bool& ok)
{
    QStringDecoder decoder =
        encoding.isEmpty() ? QStringDecoder(QStringDecoder::System, QStringDecoder::Flag::Stateless)
                           : QStringDecoder(encoding.constData(), QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    ok = !decoder.hasError();
    return text;
}
} // namespace

std::optional<QString> RewriteConverterLogLine(const QString& input)
{
    QString line = input;
    if (line.contains(QStringLiteral("Path")))
        return std::nullopt;
    if (line.contains(QStringLiteral("lang")))
    {
        const QString prefix = QStringLiteral("Error : marvex : %1 = ").arg(QStringLiteral("lang"));
        const qsizetype at = line.indexOf(prefix);
        if (at >= 0)
        {
            const long long n = LeadingNumber(line.mid(at + prefix.size()).trimmed());
            if (n >= 0 && n <= 8)
                line = QStringLiteral("%1 = %2").arg(
                    Strings::Load(IDS_LANGUAGE),
                    Strings::Load(IDS_LANGUAGE_NAME_FIRST + static_cast<unsigned>(n)));
            else
                line.replace(kPrefix.arg(QStringLiteral("lang")), Strings::Load(IDS_LANGUAGE));
        }
    }
    else
    {
        line.replace(kPrefix.arg(QStringLiteral("pnum")), Strings::Load(IDS_ITEM_NUMBER));
        line.replace(kPrefix.arg(QStringLiteral("img1")), Strings::Load(IDS_IMAGE1));
        line.replace(kPrefix.arg(QStringLiteral("img2")), Strings::Load(IDS_IMAGE2));
        line.replace(kPrefix.arg(QStringLiteral("wave")), Strings::Load(IDS_VOICE));
    }
    if (line.contains(kConverter))
        return std::nullopt;
    return line;
}

void ReadConverterLog(const QByteArray& bytes, ConverterReport& report, const QByteArray& encoding)
{
    report.logFound = true;
    qsizetype start = 0;
    while (start < bytes.size())
    {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArray raw = bytes.mid(start, end - start);
        start = end + 1;
        if (raw.contains(kAborted))
            report.aborted = true;
        if (report.lineCount > ConverterReportLines)
            continue;
        // A long line goes in pieces, as a fixed line buffer would read it.
        for (qsizetype piece = 0; piece < raw.size() || (piece == 0 && raw.isEmpty());
             piece += ConverterLogLineBytes)
        {
            QByteArray part = raw.mid(piece, ConverterLogLineBytes);
            if (part.endsWith('\r'))
                part.chop(1);
            bool ok = false;
            const QString text = ConvertLine(part, encoding, ok);
            if (ok)
            {
                if (const std::optional<QString> kept = RewriteConverterLogLine(text))
                {
                    ++report.lineCount;
                    report.lines += report.lineCount > ConverterReportLines
                                        ? QStringLiteral("...\r\n")
                                        : *kept + QStringLiteral("\r\n");
                    if (report.lineCount > ConverterReportLines)
                        break;
                }
            }
            if (raw.isEmpty())
                break;
        }
    }
}

bool ReadConverterLogFile(const QString& path, ConverterReport& report, const QByteArray& encoding)
{
    // Opened once, without waiting on what lies at the name.
    Path::ReadOnlyFile file = Path::OpenRegularFile(path);
    if (!file.IsOpen())
        return false;
    QByteArray bytes(qMin<qint64>(file.Size(), kMaxLogBytes), Qt::Uninitialized);
    bytes.truncate(qMax<qint64>(file.Read(bytes.data(), bytes.size()), 0));
    ReadConverterLog(bytes, report, encoding);
    return true;
}
