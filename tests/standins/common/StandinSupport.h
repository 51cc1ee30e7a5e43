#pragma once
// What the stand-ins share: reading their arguments and control files, recording each call
// ("run-<n>.txt" and copies beside it) and the converter's data file layout.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Standin
{
// The argument after `name`; "" when the name is missing or last.
QString Argument(const QStringList& args, const QString& name);

// The base path "<folder>/run-<n>" of this call's record, n the first number whose
// "run-<n>.txt" does not exist yet, in the folder named by the environment variable
// (created); "" when the variable is unset or empty.
QString NextRunRecord(const char* variable);

// "cwd\t<current folder>", then "arg\t<argument>" for each argument after the program,
// one a line.
QByteArray CallLines(const QStringList& args);

// Every file a stand-in writes goes through these: each write, the flush and the close are
// checked, as a real tool's must be, and a failure is remembered for the exit code, so a
// full disk never passes for a good run.
// Writes the file whole (created or emptied; appended to with `append`); false when a step
// failed.
bool WriteWhole(const QString& path, const QByteArray& bytes, bool append = false);
// Copies the file whole; false when it cannot be read or written.
bool CopyWhole(const QString& from, const QString& to);
// A line on standard output, flushed; false when it could not be written.
bool PrintLine(const QByteArray& line);
// The exit code `code` of a run, WriteFailedExitCode in its place when a write failed and the
// code says nothing went wrong.
constexpr int WriteFailedExitCode = 3;
int ExitCode(int code);

// Writes <record>.txt; false when it cannot be written.
bool WriteRecord(const QString& record, const QByteArray& text);

// The lines of the control file the environment variable names, else of `defaultPath`;
// none when it cannot be read. Line ends are split at LF only.
QStringList ControlLines(const char* variable, const QString& defaultPath);

// The control commands every stand-in understands, to misbehave as a real tool can:
//   waitfor <path>  wait until the file exists (a run that goes on until the test lets it end)
//   hang            wait for ever
//   helper <path>   start a helper process that ignores the polite termination request and
//                   appends a line to the file every 20 ms for ever
//   ignoreterm      ignore the polite termination request from here on
//   pid <path>      write the process id into the file
// True when the line was one of them (and was done).
bool Misbehave(const QString& line);

// A content data file as the converter writes it: 0xC4 bytes, "CBIN" at 0, the work number
// (u32, little-endian) at 0x0C, at most 80 UTF-16LE units of the text at 0x24.
QByteArray ContentDataFile(quint32 work, const QString& text);
} // namespace Standin
