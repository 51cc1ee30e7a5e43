#pragma once
// The content editor's Output once the author has chosen: the languages with content (all of
// them, or the display language alone) are checked one after the other, every one before any
// data file is deleted, with the events served and the cancel asked between the rows; then the
// languages without content lose their stale data files and each chosen language is converted: its
// data files deleted, the converter input written from the document, the converter run in the
// content folder with its standard output in the log, waited for in slices that each serve the
// events and ask the cancel test whatever the bar shows, the bar moved once a second up to 98 %,
// then the log read into the report. The run stops at the first language that fails. Progress,
// pumping and cancel go through COutputProgress, the interface the hub's output uses; without one
// the run goes through to its end.
#include "TOVKContEdit/model/OutputLog.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class COutputProgress;
class WaitClock;

class CConversionRun
{
public:
    // One progress step per this much of the converter's run.
    static constexpr int ProgressStepMs = 1000;

    struct Outcome
    {
        // Every chosen language was converted (also with warnings).
        bool converted = false;
        // The language whose check or conversion failed or was cancelled; -1 when the run
        // had no language to convert.
        int stoppedAt = -1;
    };

    explicit CConversionRun(CTOVKContEditDoc& doc) : m_doc(doc) {}

    void SetProgress(COutputProgress* progress) { m_pProgress = progress; }
    // How the time of the wait passes; null (the default) is real time.
    void SetWaitClock(WaitClock* clock) { m_pClock = clock; }
    // Told when the check or the conversion of a language begins.
    void SetLanguageHandler(std::function<void(int language)> handler)
    {
        m_onLanguage = std::move(handler);
    }
    // Unpacks the tool files that are missing and gives the tool folder; empty when that
    // failed. Asked before each conversion, since another program may have removed the
    // shared folder meanwhile; without it the folders' tool folder is used.
    void SetToolSource(std::function<QString()> tools) { m_tools = std::move(tools); }
    // Forgets what earlier runs found.
    void Reset();

    // Checks and converts the languages with content: all of them, or only the display
    // language. The converter's findings go through the log at logPath (none when empty).
    Outcome Run(bool allLanguages, OutputFolders folders, const QString& logPath);

    // What the runs read from the converter's logs.
    const ConverterReport& Report() const { return m_report; }
    // One line per language whose converter ended with a code other than 0, or reported
    // success without writing a data file for the records it was given.
    const QStringList& Warnings() const { return m_warnings; }
    // A first line for the failure message (the converter ended abnormally).
    const QString& FailureNote() const { return m_failureNote; }

private:
    // Writes the converter input, runs the converter and waits for it; true when the
    // language was converted (also with a non-zero exit code, or without a data file
    // written for its records, which are remembered as warnings).
    bool ConvertLanguage(const QString& logPath, int language);
    bool Cancelled() const;
    int ProgressStep();
    // Waits the given time while the window keeps handling its events.
    void PumpFor(int ms);

    CTOVKContEditDoc& m_doc;
    COutputProgress* m_pProgress = nullptr;
    WaitClock* m_pClock = nullptr;
    std::function<void(int)> m_onLanguage;
    std::function<QString()> m_tools;
    ConverterReport m_report;
    QStringList m_warnings;
    QString m_failureNote;
};
