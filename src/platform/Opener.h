#pragma once
// A program that opens a document for the author (the desktop's opener, the spreadsheet
// program) runs on its own and may outlive this program, so it is never waited for. It is
// watched for a moment after its start: one that cannot be started, or that ends with an
// error within that moment, has not opened the document, and the caller hears of it by the
// program's file name. Its standard error is kept in the private temporary folder as
// "<program>.err".
#include "platform/CommandLine.h"

#include <QString>
#include <functional>

using OpenFailed = std::function<void(const QString& program)>;

namespace Opener
{
// How long after its start an error end still counts as a failure to open.
constexpr int WatchMs = 5000;

// False, with failed called before it returns, when the program cannot be started; else
// true, and failed is called from the event loop should the program end with an error (or
// by a signal) within watchMs. failed may be empty.
bool Start(const CommandLine& command, const QString& workingFolder, const OpenFailed& failed,
           int watchMs = WatchMs);
} // namespace Opener
