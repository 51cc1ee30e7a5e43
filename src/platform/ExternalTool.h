#pragma once
// An external program the tool set starts (converter, title replacer, bind tool, editors),
// found in its folder: a native program of the base name first, else the Windows program
// the authors already have ("marvex.exe", any letter case) run through Wine. A Windows
// program sees Windows paths on its command line and in every file written for it;
// ToolPath is the one place that decides.
#include "platform/CommandLine.h"
#include "platform/ToolRun.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class ExternalTool
{
public:
    enum class Kind
    {
        Missing, // neither form, or only the Windows one without Wine: a start fails
        Native,
        Windows, // run through Wine
    };

    ExternalTool() = default;

    // Looks for `baseName` ("marvex") in `folder`.
    static ExternalTool Find(const QString& folder, const QString& baseName);

    Kind GetKind() const { return m_kind; }
    bool IsWindows() const { return m_kind == Kind::Windows; }
    // The program file found; for a missing tool where the native one was looked for.
    const QString& Program() const { return m_program; }

    // A path as this tool must be given it: native as it stands, for a Windows tool the
    // Wine form ("Z:\...").
    QString ToolPath(const QString& nativePath) const;
    // The command line that starts the tool with these arguments (already in the tool's
    // form); for a Windows tool through the Wine loader that can run it, or one that is
    // never started when none here can.
    CommandLine Command(const QStringList& arguments) const;
    // Whether a start can succeed, as far as that is known without running the tool: the
    // program is there and executable; for a Windows one a Wine loader here runs its machine
    // type and Wine's prefix folder is usable (Wine::PrefixStateOf). The loader is probed
    // once per process through `wait` (events served, its cancel asked). When not startable,
    // `why` (may be null) gets outcome NotStarted with the reason for NotStartedReason, or
    // Cancelled when the wait's cancel test stopped the probe. Ask it before anything that a
    // failed start would have been for is moved or deleted.
    bool IsStartable(ToolResult* why, const ToolWait& wait = {}) const;

    // The character set of the 8-bit text it writes: a Windows tool writes in Wine's ANSI
    // code page; empty for a native one, which writes in the locale's.
    QByteArray OutputEncoding() const;

private:
    Kind m_kind = Kind::Missing;
    QString m_program;
};
