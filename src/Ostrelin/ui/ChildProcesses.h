#pragma once
// The hub's three ways to start another program: an editor or the bind tool without
// waiting, the title replacer with waiting, and the spreadsheet program read-only. Programs
// get their arguments as a vector, so blanks and quotes in paths never add arguments.
#include "platform/CommandLine.h"
#include "platform/ExternalTool.h"
#include "platform/Opener.h"
#include "platform/ToolRun.h"

#include <QString>
#include <functional>
#include <memory>

// One started program; empty until the first start. The handles of an ended program, or of
// one that could not be started, stay until the next start.
struct CProcessHolder
{
    std::unique_ptr<ToolRun> process;
};

// Running means started and not yet finished (a child that exits with 259 has ended).
bool IsProcessRunning(const CProcessHolder& holder);

// AppFolder: the running program's folder; AppFolder/bin holds the started programs.
QString GetAppFolder();
QString GetBinFolder();
// Tests run the hub from a temporary AppFolder; empty goes back to the program's folder.
void SetAppFolderOverride(const QString& folder);

// False without starting when the holder's program still runs, or when the start fails.
// An empty current folder means AppFolder.
bool StartChildProcess(CProcessHolder& holder, const CommandLine& command,
                       const QString& currentFolder);

// Starts in AppFolder/bin and waits until the program has ended, as a long operation of
// its own (the windows stay served, the project commands are refused, a termination
// request stops it) or, given a wait, under that wait.
// `step` (may be empty) is told once per slice of the wait of the first form.
ToolResult RunProcessAndWait(const CommandLine& command, std::function<void()> step = {});
ToolResult RunProcessAndWait(const CommandLine& command, const ToolWait& wait);

// The author's message when a document's program could not open it, naming the file and
// the program.
OpenFailed ReportOpenFailure(const QString& path);

// Opens the file read-only in the spreadsheet program without waiting; false when no
// program is there or it did not start. A program that cannot start, or ends at once with
// an error, is reported.
bool OpenXmlInExcel(const QString& xmlPath);

// The editors' hand-over values ("LastContentFile", "LastQueryFile").
bool ClearRegistryString(const QString& name);
// True with the value when it was read; a missing key or an over-long value leaves `value`.
bool ReadRegistryString(const QString& name, QString& value);
// The same for the editor that was started: a Windows editor keeps the value in the user's
// registry of the Wine prefix, reached through Wine's "reg" (waited for like the title
// replacer), and hands over a Windows path, given back as the native one; a value whose
// drive the prefix does not map counts as not read. `result` gets the outcome of Wine's
// "reg" when one ran; `step` (may be empty) is told once per slice of its wait.
bool ClearRegistryString(const QString& name, const ExternalTool& editor,
                         ToolResult* result = nullptr, std::function<void()> step = {});
bool ReadRegistryString(const QString& name, QString& value, const ExternalTool& editor,
                        std::function<void()> step = {});
