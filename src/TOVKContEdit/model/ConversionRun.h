#pragma once
// The content editor's Output once the author has chosen: the languages with content (all of
// them, or the display language alone) are checked one after the other, with the events served
// and the cancel asked between the rows, and the converter is known to be startable, all before
// any data file moves; then the stale data files of the languages without content are set aside
// and each chosen language is converted: its data files set aside, the converter input written
// from the document, the converter run in the content folder with its standard output in the
// log, waited for in slices that each serve the events and ask the cancel test whatever the bar
// shows, the bar moved once a second up to 98 %, then the log read into the report. A language's
// old data files go only when its converter ended with 0, did not abort and wrote whole data
// files; in every other way they come back, and so do the stale ones unless the run went
// through. The run stops at the first language whose converter did not end by itself. Progress,
// pumping and cancel go through COutputProgress, the interface the hub's output uses; without one
// the run goes through to its end.
#include "TOVKContEdit/model/OutputLog.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class COutputProgress;
struct ToolWait;

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
    // Where the waits on the converter come from: the long operation that holds the run, which
    // serves the events and asks its cancel on every slice. Without one they are made from
    // the progress, in real time.
    using WaitSource = std::function<ToolWait(std::function<void()> step, int sliceMs)>;
    void SetWaitSource(WaitSource source) { m_waitSource = std::move(source); }
    // Told when the check or the conversion of a language begins.
    void SetLanguageHandler(std::function<void(int language)> handler)
    {
        m_onLanguage = std::move(handler);
    }
    // Unpacks the tool files that are missing and gives the tool folder; empty when that
    // failed. Asked before each conversion, since another program may have removed the
    // shared folder meanwhile; without it the folders' tool folder is used.
    void SetToolSource(std::function<QString()> tools) { m_tools = std::move(tools); }
    // Shows a text in place of the progress label while a Windows converter waits for Wine;
    // an empty text puts the label back.
    void SetWaitTextHandler(std::function<void(const QString& text)> handler)
    {
        m_onWaitText = std::move(handler);
    }
    // Forgets what earlier runs found.
    void Reset();

    // Puts back the data files that a run which was killed had set aside, in every language
    // folder of the document's output folders. Before anything else of an Output.
    static void RecoverSetAside(const CTOVKContEditDoc& doc);

    // Checks and converts the languages with content: all of them, or only the display
    // language. The converter's findings go through the log at logPath (none when empty).
    Outcome Run(bool allLanguages, OutputFolders folders, const QString& logPath);

    // What the runs read from the converter's logs.
    const ConverterReport& Report() const { return m_report; }
    // One line per language whose converter ended with a code other than 0, or reported
    // success without writing whole data files for the records it was given (its old data
    // files were kept); none for a language whose log aborts.
    const QStringList& Warnings() const { return m_warnings; }
    // A first line for the failure message (the converter ended abnormally).
    const QString& FailureNote() const { return m_failureNote; }

private:
    // Writes the converter input, runs the converter and waits for it; true when the
    // converter ended by itself (also when it failed the language, which is remembered as a
    // warning or in the report).
    bool ConvertLanguage(const QString& logPath, int language);
    // The wait on a tool of this run: the progress's pump and cancel on every slice.
    ToolWait Wait(std::function<void()> step) const;
    bool Cancelled() const;
    int ProgressStep();
    // Waits the given time while the window keeps handling its events.
    void PumpFor(int ms);

    CTOVKContEditDoc& m_doc;
    COutputProgress* m_pProgress = nullptr;
    WaitSource m_waitSource;
    std::function<void(int)> m_onLanguage;
    std::function<QString()> m_tools;
    std::function<void(const QString&)> m_onWaitText;
    ConverterReport m_report;
    QStringList m_warnings;
    QString m_failureNote;
    // Every language converted so far kept its new data.
    bool m_allKept = true;
};
