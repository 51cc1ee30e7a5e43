#include "platform/CommandLine.h"

namespace
{
QString Quote(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}

bool NeedsQuotes(const QString& text)
{
    return text.isEmpty() || text.contains(u' ') || text.contains(u'\t') || text.contains(u'"');
}
} // namespace

QString CommandLine::toString() const
{
    QString out = Quote(program);
    for (const QString& arg : arguments)
        out += u' ' + (NeedsQuotes(arg) ? Quote(arg) : arg);
    return out;
}
