#pragma once
// Opening a file read-only in the spreadsheet program, through a replaceable backend.
// The desktop backend starts the program the desktop registers as default for spreadsheet
// files (mimeapps.list and its desktop entry), else "libreoffice --calc --view <file>" (or
// soffice / localc) from PATH; with neither the spreadsheet counts as not installed.
#include "platform/CommandLine.h"
#include "platform/Opener.h"

#include <QList>
#include <QString>
#include <QStringList>

class SpreadsheetBackend
{
public:
    virtual ~SpreadsheetBackend();
    virtual bool IsInstalled() = 0;
    virtual bool OpenReadOnly(const QString& path, const OpenFailed& failed) = 0;
};

class RecordingSpreadsheet : public SpreadsheetBackend
{
public:
    RecordingSpreadsheet();
    ~RecordingSpreadsheet() override;
    bool IsInstalled() override { return installed; }
    // A false answer tells the failure handler, naming program, as the desktop's does.
    bool OpenReadOnly(const QString& path, const OpenFailed& failed) override;
    bool installed = true;
    bool result = true;
    QString program = QStringLiteral("libreoffice");
    QStringList opened;

private:
    SpreadsheetBackend* m_previous;
};

namespace Spreadsheet
{
bool IsInstalled();
// Started in the file's folder when that exists and watched as Opener::Start says: failed
// hears of a program that cannot start or ends at once with an error. False without a word
// when no program is there.
bool OpenReadOnly(const QString& path, const OpenFailed& failed = {});
// The read-only command the desktop backend would start for the path, empty program when none.
CommandLine ReadOnlyCommand(const QString& path);
// A desktop entry's Exec value as a command for the path: the path replaces %f %F %u %U
// (or %1), or is appended when there is none; other field codes are dropped.
CommandLine CommandFromExec(const QString& exec, const QString& path);
SpreadsheetBackend& Current();
void SetBackend(SpreadsheetBackend* backend); // not owned; nullptr: the desktop
} // namespace Spreadsheet
