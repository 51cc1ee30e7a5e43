#pragma once
// The conversion of one language: the converter input written from the document, the
// converter run in the content folder with its standard output in the log, waited for in
// slices that each serve the events and ask the cancel test whatever the bar shows, the bar
// moved once a second up to 98 %, then the log read into the report. Progress, pumping and
// cancel go through COutputProgress, the interface the hub's output uses; without one the
// run goes through to its end.
#include "TOVKContEdit/model/OutputLog.h"

#include <QString>
#include <QStringList>

class COutputProgress;
class CTOVKContEditDoc;
class WaitClock;

class CConversionRun
{
public:
    // One progress step per this much of the converter's run.
    static constexpr int ProgressStepMs = 1000;

    explicit CConversionRun(CTOVKContEditDoc& doc) : m_doc(doc) {}

    void SetProgress(COutputProgress* progress) { m_pProgress = progress; }
    // How the time of the wait passes; null (the default) is real time.
    void SetWaitClock(WaitClock* clock) { m_pClock = clock; }
    // Forgets what earlier runs found.
    void Reset();

    // Writes the converter input, runs the converter and waits for it; true when the
    // language was converted (also with a non-zero exit code, or without a data file
    // written for its records, which are remembered as warnings).
    bool ConvertLanguage(const QString& logPath, int language);

    // What the runs read from the converter's logs.
    const ConverterReport& Report() const { return m_report; }
    // One line per language whose converter ended with a code other than 0, or reported
    // success without writing a data file for the records it was given.
    const QStringList& Warnings() const { return m_warnings; }
    // A first line for the failure message (the converter ended abnormally).
    const QString& FailureNote() const { return m_failureNote; }

private:
    int ProgressStep();
    // Waits the given time while the window keeps handling its events.
    void PumpFor(int ms);

    CTOVKContEditDoc& m_doc;
    COutputProgress* m_pProgress = nullptr;
    WaitClock* m_pClock = nullptr;
    ConverterReport m_report;
    QStringList m_warnings;
    QString m_failureNote;
};
