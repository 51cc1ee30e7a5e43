#pragma once
// The Output command: for each chosen language the rows are checked, written as a
// one-language content file, converted by the external converter "marvex" into
// ConvertFolder/output/contents/<code>, and the converter's log is reported. The document
// prepares folders, records and command line; this side runs the converter under the
// progress dialog, which keeps the window alive and can cancel it.
#include "TOVKContEdit/model/OutputLog.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class CLongOperation;
class CProgressDlg;
class QWidget;
struct ToolResult;

class CContentOutput
{
public:
    // One progress step per this much of the converter's run.
    static constexpr int WaitSliceMs = 1000;

    CContentOutput(CTOVKContEditDoc& doc, std::function<OutputFolders()> folders);

    // The window that the progress dialog disables.
    void SetOwner(QWidget* owner);
    // Unpacks the tool files that are missing and gives the tool folder; empty when that
    // failed. Asked before each conversion; without it the folders' tool folder is used.
    void SetToolSource(std::function<QString()> tools) { m_tools = std::move(tools); }

    void OnFileOutput();
    // Enabled when the table has at least one row.
    bool OnUpdateFileOutput() const;
    // Asks a running output to stop: the converter is killed and the language fails.
    void Cancel();

    // Writes the converter input, runs the converter and waits for it; true when the
    // language was converted (also with a non-zero exit code, or without a data file
    // written for its records, which are remembered as warnings).
    bool ConvertLanguage(const QString& logPath, int language);

    // "marvex.log" in the user's temporary folder; empty when that folder is not safe.
    static QString ConverterLogPath();

    // What the last run read from the converter's logs.
    const ConverterReport& Report() const { return m_report; }

private:
    int ProgressStep();
    void SetLabel(const QString& text);
    bool CancelRequested() const;
    // 124, with the reason when Wine could not run the converter.
    void NotStarted(const ToolResult& result);

    CTOVKContEditDoc& m_doc;
    std::function<OutputFolders()> m_folders;
    std::function<QString()> m_tools;
    QWidget* m_owner = nullptr;
    CProgressDlg* m_progress = nullptr;
    // The operation of the running output; null otherwise.
    CLongOperation* m_operation = nullptr;
    ConverterReport m_report;
    // One line per language whose converter ended with a code other than 0, or reported
    // success without writing a data file for the records it was given.
    QStringList m_warnings;
    // A first line for the failure message (the converter ended abnormally).
    QString m_failureNote;
};
