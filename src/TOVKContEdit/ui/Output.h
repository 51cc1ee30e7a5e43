#pragma once
// The Output command: for each chosen language the rows are checked, written as a
// one-language content file, converted by the external converter "marvex" into
// ConvertFolder/output/contents/<code>, and the converter's log is reported.
#include "TOVKContEdit/ui/OutputLog.h"
#include "platform/CommandLine.h"

#include <QString>
#include <array>
#include <functional>

class CMainFrame;
class CProgressDlg;
class CTOVKContEditDoc;
class QWidget;

// Where a run takes its programs and folders from (the application's start-up values).
struct OutputFolders
{
    QString startFolder;   // holds the converter program
    QString convertFolder; // the -d folder
    QString toolFolder;    // handed over as -binpath
};

class CContentOutput
{
public:
    // A converter wait slice; one progress step per slice.
    static constexpr int WaitSliceMs = 1000;

    CContentOutput(CTOVKContEditDoc& doc, std::function<OutputFolders()> folders);

    // The window that the progress dialog disables and that refuses commands while the run
    // pumps events.
    void SetOwner(QWidget* owner, CMainFrame* frame);

    void OnFileOutput();
    // Enabled when the table has at least one row.
    bool OnUpdateFileOutput() const;

    static bool EnsureFolder(const QString& path);
    // Deletes the regular files of the folder whose extension is ".bin" in any case.
    static void DeleteBinFiles(const QString& folder);
    bool PrepareOutputFolder(int language, QString* folder);
    void PrepareAllOutputFolders();
    // Writes the converter input, runs the converter and waits for it; true when it ran.
    bool ConvertLanguage(const QString& logPath, int language);

    // "marvex.log" in the user's temporary folder; empty when that folder is not safe.
    static QString ConverterLogPath();
    QString OutputFolder(int language) const;
    QString ConverterInputPath(int language) const;
    CommandLine ConverterCommandLine(const QString& inputPath, const QString& outputFolder) const;
    // The languages with any picture, voice or description in some row.
    std::array<bool, 9> ContentLanguages() const;

    // What the last run read from the converter's logs.
    const ConverterReport& Report() const { return m_report; }

    // The lower-case code of a language ("jp" .. "du").
    static QString LanguageCode(int language);

private:
    int ProgressStep();
    void SetLabel(const QString& text);

    CTOVKContEditDoc& m_doc;
    std::function<OutputFolders()> m_folders;
    OutputFolders m_run;
    QWidget* m_owner = nullptr;
    CMainFrame* m_frame = nullptr;
    CProgressDlg* m_progress = nullptr;
    ConverterReport m_report;
};
