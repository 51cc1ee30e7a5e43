#include "tovkfeedbackviewer/ReportFile.h"

#include "platform/AtomicFile.h"
#include "platform/ConsoleName.h"
#include "platform/Path.h"
#include "tovkfeedbackviewer/Console.h"
#include "tovkfeedbackviewer/ErrorType.h"

#include <QtEndian>
#include <array>
#include <cstring>
#include <map>

namespace
{
// The folders reports go into, each opened once for the run.
struct ReportFolders
{
    QString root;
    std::unique_ptr<OutputFolder> rootFolder;
    std::map<QString, std::unique_ptr<OutputFolder>> others;
};

ReportFolders& Folders()
{
    static ReportFolders folders;
    return folders;
}

const OutputFolder& RootFolder()
{
    ReportFolders& folders = Folders();
    if (!folders.rootFolder)
        folders.rootFolder = std::make_unique<OutputFolder>(folders.root);
    return *folders.rootFolder;
}

const OutputFolder& FolderOf(const QString& path)
{
    ReportFolders& folders = Folders();
    const QString folder = Path::RemoveBackslash(Path::RemoveFileSpec(Path::ToNative(path)));
    if (!folders.root.isEmpty() && folder == folders.root)
        return RootFolder();
    std::unique_ptr<OutputFolder>& held = folders.others[folder];
    if (!held)
    {
        const QString lead = folders.root.isEmpty() ? QString() : Path::AddBackslash(folders.root);
        if (!lead.isEmpty() && folder.startsWith(lead))
            held = std::make_unique<OutputFolder>(RootFolder(), folder.mid(lead.size()));
        else
            held = std::make_unique<OutputFolder>(folder);
    }
    return *held;
}

std::unique_ptr<FileReplacement> OpenOrThrow(const QString& path)
{
    const OutputFolder& folder = FolderOf(path);
    auto file = std::make_unique<FileReplacement>(folder, Path::FindFileName(path));
    if (file->Error() != 0)
    {
        // A folder that could not be opened (or was refused) is named itself.
        Console::Out(QStringLiteral("can't open %1\n")
                         .arg(ConsoleName(folder.IsOpen() ? path : folder.Folder())));
        throw ErrWrite;
    }
    return file;
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

CReportFile::CReportFile(const QString& path, ScriptTwin twin) : m_file(OpenOrThrow(path))
{
    if (twin == WithScript)
    {
        m_script = OpenOrThrow(ScriptPath(path));
        const QByteArray head =
            "\xEF\xBB\xBFquorvaneReport(\"" + Path::FindFileName(path).toUtf8() + "\", \"";
        Write(*m_script, head.constData(), head.size());
    }
}

CReportFile::~CReportFile() = default;

void CReportFile::SetReportFolder(const QString& folder)
{
    ReportFolders& folders = Folders();
    folders = ReportFolders();
    folders.root = Path::RemoveBackslash(Path::ToNative(folder));
}

void CReportFile::Write(FileReplacement& file, const char* data, qsizetype size)
{
    if (!m_failed && !file.Write(QByteArrayView(data, size)))
        m_failed = true;
}

void CReportFile::WriteBom()
{
    Flush();
    static const char bom[] = {'\xFF', '\xFE'};
    Write(*m_file, bom, 2);
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
    Write(*m_file, bytes.constData(), bytes.size());
}

void CReportFile::Flush()
{
    if (m_text.isEmpty())
        return;
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)
    {
        // The text's own units are the file's bytes.
        Write(*m_file, reinterpret_cast<const char*>(m_text.utf16()),
              m_text.size() * qsizetype(sizeof(char16_t)));
    }
    else
    {
        const QByteArray bytes = Utf16Le(m_text);
        Write(*m_file, bytes.constData(), bytes.size());
    }
    if (m_script && !m_failed)
    {
        QByteArray script;
        AppendScriptText(script, m_text);
        Write(*m_script, script.constData(), script.size());
    }
    m_text.clear();
}

void CReportFile::Close()
{
    Flush();
    if (m_script)
        Write(*m_script, "\");\r\n", 5);
    // The report takes its place before the script that hands it to the pages.
    if (m_failed || !m_file->Commit() || (m_script && !m_script->Commit()))
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
