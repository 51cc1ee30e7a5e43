#pragma once
// Opening a file read-only in the spreadsheet program, through a replaceable backend.
// The desktop backend starts "libreoffice --calc --view <file>" (or soffice / localc) when
// one is on PATH; without one the spreadsheet counts as not installed and nothing opens.
#include "platform/CommandLine.h"

#include <QList>
#include <QString>
#include <QStringList>

class SpreadsheetBackend
{
public:
    virtual ~SpreadsheetBackend();
    virtual bool IsInstalled() = 0;
    virtual bool OpenReadOnly(const QString& path) = 0;
};

class RecordingSpreadsheet : public SpreadsheetBackend
{
public:
    RecordingSpreadsheet();
    ~RecordingSpreadsheet() override;
    bool IsInstalled() override { return installed; }
    bool OpenReadOnly(const QString& path) override;
    bool installed = true;
    bool result = true;
    QStringList opened;

private:
    SpreadsheetBackend* m_previous;
};

namespace Spreadsheet
{
bool IsInstalled();
bool OpenReadOnly(const QString& path);
// The read-only command the desktop backend would start for the path, empty program when none.
CommandLine ReadOnlyCommand(const QString& path);
SpreadsheetBackend& Current();
void SetBackend(SpreadsheetBackend* backend); // not owned; nullptr: the desktop
} // namespace Spreadsheet
