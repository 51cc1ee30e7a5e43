#include "tovkfeedbackviewer/ReportFile.h"

#include "platform/Path.h"
#include "tovkfeedbackviewer/Console.h"
#include "tovkfeedbackviewer/ErrorType.h"

#include <QFileInfo>
#include <QtEndian>
#include <array>
#include <cstring>

namespace
{
void OpenOrThrow(QFile& file, const QString& path)
{
    // A pipe or a device lying where a report goes is refused, never waited on.
    if (!Path::CreateRegularFile(file, path))
    {
        Console::Out(QStringLiteral("can't open %1\n").arg(path));
        throw ErrWrite;
    }
}

QByteArray Utf16Le(QStringView text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)
    {
        std::memcpy(bytes.data(), text.utf16(), static_cast<std::size_t>(bytes.size()));
    }
    else
    {
        for (qsizetype i = 0; i < text.size(); ++i)
            qToLittleEndian<quint16>(text[i].unicode(), bytes.data() + 2 * i);
    }
    return bytes;
}
} // namespace

CReportFile::CReportFile(const QString& path, ScriptTwin twin)
{
    OpenOrThrow(m_file, path);
    if (twin == WithScript)
    {
        OpenOrThrow(m_script, ScriptPath(path));
        const QByteArray head =
            "\xEF\xBB\xBFquorvaneReport(\"" + QFileInfo(path).fileName().toUtf8() + "\", \"";
        if (m_script.write(head) != head.size())
            m_failed = true;
    }
}

CReportFile::~CReportFile() = default;

void CReportFile::WriteBom()
{
    Flush();
    static const char bom[] = {'\xFF', '\xFE'};
    if (m_file.write(bom, 2) != 2)
        m_failed = true;
}

void CReportFile::Line(int tabs, QStringView text)
{
    for (int i = 0; i < tabs; ++i)
        m_text += u'\t';
    m_text += text;
    m_text += QLatin1StringView("\r\n");
    FlushIfLarge();
}

void CReportFile::WriteBytes(const QByteArray& bytes)
{
    Flush();
    if (m_file.write(bytes) != bytes.size())
        m_failed = true;
}

void CReportFile::Flush()
{
    if (m_text.isEmpty())
        return;
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)
    {
        // The text's own units are the file's bytes.
        const qint64 size = m_text.size() * qint64(sizeof(char16_t));
        if (!m_failed && m_file.write(reinterpret_cast<const char*>(m_text.utf16()), size) != size)
            m_failed = true;
    }
    else
    {
        const QByteArray bytes = Utf16Le(m_text);
        if (!m_failed && m_file.write(bytes) != bytes.size())
            m_failed = true;
    }
    if (m_script.isOpen() && !m_failed)
    {
        QByteArray script;
        AppendScriptText(script, m_text);
        if (m_script.write(script) != script.size())
            m_failed = true;
    }
    m_text.clear();
}

void CReportFile::Close()
{
    Flush();
    if (m_script.isOpen())
    {
        if (!m_failed && m_script.write("\");\r\n") != 5)
            m_failed = true;
        if (!m_script.flush())
            m_failed = true;
        m_script.close();
    }
    if (!m_file.flush())
        m_failed = true;
    m_file.close();
    if (m_failed)
        throw ErrWrite;
}

QString CReportFile::ScriptPath(const QString& path)
{
    return path + QLatin1StringView(".js");
}

QByteArray CReportFile::ScriptFor(const QString& name, QStringView text)
{
    QByteArray out = "\xEF\xBB\xBFquorvaneReport(\"" + name.toUtf8() + "\", \"";
    AppendScriptText(out, text);
    out += "\");\r\n";
    return out;
}

void CReportFile::AppendScriptText(QByteArray& out, QStringView text)
{
    static const char digits[] = "0123456789abcdef";
    // Per ASCII unit: 0 copied as it is, else the letter of its two-character escape, or 'u'.
    static const auto escapes = []
    {
        std::array<char, 128> table{};
        for (int c = 0; c < 128; ++c)
            table[static_cast<std::size_t>(c)] = (c < 0x20 || c == 0x7F) ? 'u' : 0;
        table['\r'] = 'r';
        table['\n'] = 'n';
        table['\t'] = 't';
        for (const char c : {'"', '\\', '<', '>'})
            table[static_cast<std::size_t>(c)] = 'u';
        return table;
    }();
    const qsizetype begin = out.size();
    out.resize(begin + text.size() * 6); // the longest escape per unit
    char* p = out.data() + begin;
    const char16_t* unit = text.utf16();
    const char16_t* const end = unit + text.size();
    for (; unit != end; ++unit)
    {
        const char16_t c = *unit;
        const char escape = c < 128 ? escapes[c] : 'u';
        if (escape == 0)
        {
            *p++ = static_cast<char>(c);
        }
        else if (escape != 'u')
        {
            *p++ = '\\';
            *p++ = escape;
        }
        else
        {
            *p++ = '\\';
            *p++ = 'u';
            *p++ = digits[(c >> 12) & 0xF];
            *p++ = digits[(c >> 8) & 0xF];
            *p++ = digits[(c >> 4) & 0xF];
            *p++ = digits[c & 0xF];
        }
    }
    out.resize(p - out.constData());
}
