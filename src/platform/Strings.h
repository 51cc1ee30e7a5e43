#pragma once
// String tables keyed by resource id, one per resource set, and the message formatter
// that fills their inserts.
#include <QList>
#include <QString>
#include <QVariant>
#include <cstddef>
#include <unordered_map>

struct StringEntry
{
    unsigned id;
    const char16_t* text;
};

class StringTable
{
public:
    StringTable(const StringEntry* entries, std::size_t count);

    // The text of the id; "" when the table has no such id.
    QString Load(unsigned id) const;
    bool Contains(unsigned id) const;
    std::size_t Size() const { return m_index.size(); }

private:
    std::unordered_map<unsigned, const char16_t*> m_index;
};

namespace Strings
{
// The program's table: installed once by main (or by a test). Not owned.
void Install(const StringTable& table);
// The text of the id in the installed table; "" when none is installed or the id is missing.
QString Load(unsigned id);
} // namespace Strings

// printf-style inserts (%d %i %u %x %X %o %c %s %e %f %g %%, with flags, width, precision
// and length) take the arguments in order. A pattern holding a positional insert with a
// type in bangs ("%1!s!", "%2!d!", "%3!04x!") is positional throughout: "%1" .. "%99" name
// their argument (plain "%n" as a string) and only the named ones show. A missing argument
// gives an empty insert; an unknown conversion stays as written.
QString FormatMessage(const QString& pattern, const QList<QVariant>& args);

// FormatMessage over the installed table's text of the id.
QString FormatString(unsigned id, const QList<QVariant>& args);
