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

// printf-style inserts (%d %i %u %x %X %c %s %ls %%, with flags, width and precision) and
// positional inserts %1 .. %99, optionally with a printf-style type in bangs ("%1!s!",
// "%2!d!", "%3!04x!"). A pattern with positional inserts shows only the arguments it
// names; a missing argument gives an empty insert.
QString FormatMessage(const QString& pattern, const QList<QVariant>& args);

// FormatMessage over the installed table's text of the id.
QString FormatString(unsigned id, const QList<QVariant>& args);
