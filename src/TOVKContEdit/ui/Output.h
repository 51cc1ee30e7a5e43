#pragma once
// The Output command: for each chosen language the rows are checked, written as a
// one-language content file, converted by the external converter "marvex" into
// ConvertFolder/output/contents/<code>, and the converter's log is reported. The model's
// conversion run does the checks and conversions; this side asks which languages, holds the
// long operation and the progress dialog, which keeps the window alive and can cancel it,
// and tells the author the outcome.
#include "TOVKContEdit/model/ConversionRun.h"
#include "TOVKContEdit/model/OutputLog.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class CProgressDlg;
class QWidget;

class CContentOutput
{
public:
    CContentOutput(CTOVKContEditDoc& doc, std::function<OutputFolders()> folders);

    // The window that the progress dialog disables.
    void SetOwner(QWidget* owner);
    // Unpacks the tool files that are missing and gives the tool folder; empty when that
    // failed. Asked before each conversion; without it the folders' tool folder is used.
    void SetToolSource(std::function<QString()> tools) { m_run.SetToolSource(std::move(tools)); }

    void OnFileOutput();
    // Enabled when the table has at least one row.
    bool OnUpdateFileOutput() const;
    // Asks a running output to stop: the converter is killed and the language fails.
    void Cancel();

    // "marvex.log" in the user's temporary folder; empty when that folder is not safe.
    static QString ConverterLogPath();

    // What the last run read from the converter's logs.
    const ConverterReport& Report() const { return m_run.Report(); }

private:
    void SetLabel(const QString& text);
    bool CancelRequested() const;

    CTOVKContEditDoc& m_doc;
    std::function<OutputFolders()> m_folders;
    QWidget* m_owner = nullptr;
    CProgressDlg* m_progress = nullptr;
    // The label of the language checked or converted.
    QString m_languageLabel;
    // The checks and conversions of the running output.
    CConversionRun m_run;
};
