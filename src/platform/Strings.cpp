#include "platform/Strings.h"

#include <algorithm>

namespace
{
const StringTable* g_table = nullptr;

struct Spec
{
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    int width = -1;
    int precision = -1;
    bool wide = false; // ll / I64
    QChar type;
};

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads flags, width, precision, length and type from text at pos; false when the text is
// not a conversion (pos is then unchanged). '*' takes the next argument through nextInt.
template <typename NextInt>
bool ParseSpec(const QString& text, qsizetype& pos, Spec& spec, NextInt nextInt)
{
    qsizetype i = pos;
    const qsizetype n = text.size();
    for (; i < n; ++i)
    {
        const QChar c = text[i];
        if (c == u'-')
            spec.left = true;
        else if (c == u'+')
            spec.plus = true;
        else if (c == u' ')
            spec.space = true;
        else if (c == u'#')
            spec.alternate = true;
        else if (c == u'0')
            spec.zero = true;
        else
            break;
    }
    auto readNumber = [&](int& out)
    {
        if (i < n && text[i] == u'*')
        {
            out = std::clamp(nextInt(), -4096, 4096);
            ++i;
            return;
        }
        if (i >= n || !IsDigit(text[i]))
            return;
        long long v = 0;
        while (i < n && IsDigit(text[i]))
        {
            v = std::min<long long>(v * 10 + (text[i].unicode() - u'0'), 4096);
            ++i;
        }
        out = int(v);
    };
    readNumber(spec.width);
    if (spec.width < 0 && spec.width != -1)
    {
        spec.left = true;
        spec.width = -spec.width;
    }
    if (i < n && text[i] == u'.')
    {
        ++i;
        spec.precision = 0;
        readNumber(spec.precision);
        if (spec.precision < 0)
            spec.precision = -1;
    }
    // Length modifiers: the 64-bit ones widen, the others change nothing here.
    while (i < n)
    {
        if (text.mid(i, 3) == u"I64")
        {
            spec.wide = true;
            i += 3;
        }
        else if (text.mid(i, 3) == u"I32")
            i += 3;
        else if (text.mid(i, 2) == u"ll")
        {
            spec.wide = true;
            i += 2;
        }
        else if (text[i] == u'l' || text[i] == u'h' || text[i] == u'w' || text[i] == u'L' ||
                 text[i] == u'z' || text[i] == u'j' || text[i] == u't')
        {
            if (text[i] == u'j')
                spec.wide = true;
            ++i;
        }
        else
            break;
    }
    if (i >= n)
        return false;
    const QChar type = text[i];
    static const QString types = QStringLiteral("diuxXocCsSeEfFgG");
    if (!types.contains(type))
        return false;
    spec.type = type;
    pos = i + 1;
    return true;
}

qlonglong ToSigned(const QVariant& v)
{
    if (v.typeId() == QMetaType::QChar)
        return v.value<QChar>().unicode();
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toLongLong();
    return v.toLongLong();
}

QString Pad(QString body, const Spec& spec, bool numeric)
{
    if (spec.width <= body.size())
        return body;
    const qsizetype fill = spec.width - body.size();
    if (spec.left)
        return body + QString(fill, u' ');
    if (numeric && spec.zero)
    {
        // Zeros go after the sign or the 0x prefix.
        qsizetype at = 0;
        if (!body.isEmpty() && (body[0] == u'-' || body[0] == u'+' || body[0] == u' '))
            at = 1;
        if (body.mid(at, 2).compare(u"0x", Qt::CaseInsensitive) == 0)
            at += 2;
        return body.left(at) + QString(fill, u'0') + body.mid(at);
    }
    return QString(fill, u' ') + body;
}

QString FormatOne(const Spec& spec, const QVariant* arg)
{
    const QChar t = spec.type;
    if (!arg)
        return Pad(QString(), spec, false);
    if (t == u's' || t == u'S')
    {
        QString s =
            arg->typeId() == QMetaType::QChar ? QString(arg->value<QChar>()) : arg->toString();
        if (spec.precision >= 0 && s.size() > spec.precision)
            s.truncate(spec.precision);
        return Pad(s, spec, false);
    }
    if (t == u'c' || t == u'C')
    {
        QString s;
        if (arg->typeId() == QMetaType::QString)
            s = arg->toString().left(1);
        else
        {
            const qlonglong code = ToSigned(*arg);
            const char32_t cp = char32_t(code & 0x1FFFFF);
            s = cp <= 0x10FFFF ? QString::fromUcs4(&cp, 1) : QString();
        }
        return Pad(s, spec, false);
    }
    if (t == u'e' || t == u'E' || t == u'f' || t == u'F' || t == u'g' || t == u'G')
    {
        QString format = QStringLiteral("%");
        if (spec.left)
            format += u'-';
        if (spec.plus)
            format += u'+';
        if (spec.space)
            format += u' ';
        if (spec.alternate)
            format += u'#';
        if (spec.zero)
            format += u'0';
        if (spec.width > 0)
            format += QString::number(spec.width);
        if (spec.precision >= 0)
            format += u'.' + QString::number(spec.precision);
        format += t;
        return QString::asprintf(format.toLatin1().constData(), arg->toDouble());
    }
    // Integers: 32-bit unless a 64-bit length was given, like the C library.
    const qlonglong raw = ToSigned(*arg);
    QString digits;
    QString sign;
    QString prefix;
    if (t == u'd' || t == u'i')
    {
        const qlonglong v = spec.wide ? raw : qlonglong(qint32(raw));
        if (v < 0)
        {
            sign = QStringLiteral("-");
            digits = QString::number(v).mid(1);
        }
        else
        {
            digits = QString::number(v);
            if (spec.plus)
                sign = QStringLiteral("+");
            else if (spec.space)
                sign = QStringLiteral(" ");
        }
    }
    else
    {
        const qulonglong v = spec.wide ? qulonglong(raw) : qulonglong(quint32(raw));
        if (t == u'u')
            digits = QString::number(v);
        else if (t == u'o')
            digits = QString::number(v, 8);
        else
        {
            digits = QString::number(v, 16);
            if (t == u'X')
                digits = digits.toUpper();
            if (spec.alternate && v != 0)
                prefix = t == u'X' ? QStringLiteral("0X") : QStringLiteral("0x");
        }
        if (t == u'o' && spec.alternate && !digits.startsWith(u'0'))
            digits.prepend(u'0');
    }
    if (spec.precision >= 0)
    {
        if (spec.precision == 0 && digits == u"0")
            digits.clear();
        else if (digits.size() < spec.precision)
            digits = QString(spec.precision - digits.size(), u'0') + digits;
    }
    Spec padSpec = spec;
    if (spec.precision >= 0)
        padSpec.zero = false;
    return Pad(sign + prefix + digits, padSpec, true);
}
} // namespace

StringTable::StringTable(const StringEntry* entries, std::size_t count)
{
    m_index.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        m_index.emplace(entries[i].id, entries[i].text);
}

QString StringTable::Load(unsigned id) const
{
    const auto it = m_index.find(id);
    if (it == m_index.end() || !it->second)
        return QString();
    return QString::fromUtf16(it->second);
}

bool StringTable::Contains(unsigned id) const
{
    return m_index.count(id) != 0;
}

void Strings::Install(const StringTable& table)
{
    g_table = &table;
}

QString Strings::Load(unsigned id)
{
    return g_table ? g_table->Load(id) : QString();
}

namespace
{
// A pattern with any "%n!type!" insert is positional throughout: there "%n" names an
// argument; elsewhere a digit after '%' is a printf width.
bool IsPositional(const QString& pattern)
{
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i + 2 < n; ++i)
    {
        if (pattern[i] != u'%')
            continue;
        if (pattern[i + 1] == u'%')
        {
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        if (pattern[j] < u'1' || pattern[j] > u'9')
            continue;
        ++j;
        if (j < n && IsDigit(pattern[j]))
            ++j;
        if (j < n && pattern[j] == u'!')
            return true;
    }
    return false;
}
} // namespace

QString FormatMessage(const QString& pattern, const QList<QVariant>& args)
{
    const bool positional = IsPositional(pattern);
    QString out;
    out.reserve(pattern.size() + 16);
    qsizetype next = 0; // the next argument of a sequential conversion
    auto nextArg = [&]() -> const QVariant*
    { return next < args.size() ? &args[next++] : nullptr; };
    auto nextInt = [&]()
    {
        const QVariant* v = nextArg();
        return v ? int(ToSigned(*v)) : 0;
    };
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i)
    {
        const QChar c = pattern[i];
        if (c != u'%' || i + 1 >= n)
        {
            out += c;
            continue;
        }
        const QChar d = pattern[i + 1];
        if (d == u'%')
        {
            out += u'%';
            ++i;
            continue;
        }
        if (positional && d >= u'1' && d <= u'9')
        {
            // Positional insert %n or %nn, with an optional !printf-type!.
            qsizetype j = i + 1;
            int index = 0;
            while (j < n && IsDigit(pattern[j]) && j < i + 3)
            {
                index = index * 10 + (pattern[j].unicode() - u'0');
                ++j;
            }
            const QVariant* arg = index <= args.size() ? &args[index - 1] : nullptr;
            Spec spec;
            spec.type = u's';
            if (j < n && pattern[j] == u'!')
            {
                const qsizetype close = pattern.indexOf(u'!', j + 1);
                if (close > j + 1)
                {
                    const QString inner = pattern.mid(j + 1, close - j - 1);
                    qsizetype pos = 0;
                    Spec parsed;
                    if (ParseSpec(inner, pos, parsed, [] { return 0; }) && pos == inner.size())
                        spec = parsed;
                    j = close + 1;
                }
            }
            out += FormatOne(spec, arg);
            i = j - 1;
            continue;
        }
        qsizetype pos = i + 1;
        Spec spec;
        if (ParseSpec(pattern, pos, spec, nextInt))
        {
            out += FormatOne(spec, nextArg());
            i = pos - 1;
            continue;
        }
        out += c;
    }
    return out;
}

QString FormatString(unsigned id, const QList<QVariant>& args)
{
    return FormatMessage(Strings::Load(id), args);
}
