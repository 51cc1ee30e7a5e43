#pragma once
// Wine, which runs the Windows programs the authors already have: whether it is installed,
// the Windows form of our paths (its standard drive Z: for the root), the way back through
// the prefix's drive links, the code page its programs write 8-bit text in, and its own
// "reg" command for the user's registry of the prefix.
#include "platform/CommandLine.h"
#include "platform/ToolRun.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Wine
{
// The "wine" program on PATH; empty when Wine is not installed.
QString Program();

// The prefix the programs run in: $WINEPREFIX, else ~/.wine.
QString Prefix();

// The machine type in a program's PE header.
enum class Machine
{
    Unknown, // no PE program, or one for another processor
    I386,
    X8664,
};
Machine MachineOf(const QString& program);

// How a Windows program of a machine type is started here. Debian's launcher runs its
// 32-bit loader where there is one; a kernel that cannot execute 32-bit programs fails
// every start through it, even of 64-bit programs, so those then go to the 64-bit loader
// directly. An i386 program has no way then: the command is empty and `cannotRun32` set.
struct Loader
{
    QString program;
    QStringList environment; // "NAME=value", added for the run
    bool cannotRun32 = false;
};
// The loader probe below runs with `wait`; `cancelled` (may be null) is set when its cancel
// test stopped the probe, and the loader given is then of no use.
Loader LoaderFor(Machine machine, const ToolWait& wait = {}, bool* cancelled = nullptr);
// The command that runs the Windows program through the loader for its machine type, the
// crash dialog turned off for the run.
CommandLine ProgramCommand(const QString& program, const QStringList& arguments);
// True when the loader program can be executed here. It is asked once per path and process:
// "<loader> --version" is run as any tool, with the events served and the cancel test asked
// on every slice of `wait`, and given up as not running after LoaderProbeLimitMs. A probe
// that the cancel test stopped is not remembered; `cancelled` (may be null) tells it.
constexpr int LoaderProbeLimitMs = 30000;
bool LoaderRuns(const QString& loader, const ToolWait& wait = {}, bool* cancelled = nullptr);
// Debian's loaders beside the launcher on PATH: <prefix>/lib/wine/wine and .../wine64.
QString Loader32();
QString Loader64();

// Whether Wine can use its prefix folder: one that exists must be a folder (a link to one
// will do) owned by this user; one that does not must be creatable, which Wine does for the
// last component only.
enum class PrefixState
{
    Usable,
    NotAFolder,
    NotOwned,
    CannotCreate,
};
PrefixState PrefixStateOf(const QString& prefix);

// "/a/b c" -> "Z:\a\b c"; a relative path keeps its form with '\'; "" stays "".
QString WindowsPath(const QString& nativePath);
// "X:\a\b" -> the target of the prefix's drive link X: + "/a/b" (Z: is the root when the
// prefix has no link for it), resolved on disk as Wine resolves it (a component not there
// letter for letter is matched ignoring case); a native path is returned as it stands. Empty for a
// form without a drive (UNC) or a drive the prefix does not map.
QString NativePath(const QString& windowsPath);

// What QStringDecoder calls the ANSI code page Wine 8 gives its programs under the current
// locale (Japanese "CP932", most European languages "windows-1252", Hindi "UTF-8", ...).
QByteArray AnsiCodePage();
// The same for a locale name as setlocale() gives it ("ja_JP.UTF-8", "sr_RS@latin", "C").
QByteArray AnsiCodePageOf(const QByteArray& locale);

// The command that sets the string value `name` of HKEY_CURRENT_USER\<key> to "" (the key
// is created when missing).
CommandLine ClearValueCommand(const QString& key, const QString& name);
// The command that writes HKEY_CURRENT_USER\<key> to `file` in the registry export form
// (UTF-16); it fails when the key does not exist.
CommandLine ExportKeyCommand(const QString& key, const QString& file);
// The string value `name` (case ignored) of the exported key; false when the file holds no
// such string value.
bool ReadExportedValue(const QByteArray& exported, const QString& name, QString& value);
} // namespace Wine
