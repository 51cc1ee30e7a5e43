#pragma once
// The output of a project into the card tree: the summary of the output page, the pre-output
// check and the run itself in its phases (the last card and titles held aside and the folders
// made, titles, the two bind files, the bind tool waited for in 10 ms slices, each serving the
// events). Progress, pumping and cancel go through COutputProgress, given when the run is made;
// without one the run goes through to its end. The run shows nothing itself: it returns what
// the author is to be told.
#include "Ostrelin/model/BindXml.h"
#include "Ostrelin/model/TitleScreen.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class COstrelinDoc;
class ExternalTool;
class WinePreparingNote;
class COutputProgress;

// The paths of one run, built from the project file's path.
struct OutputPaths
{
    explicit OutputPaths(const QString& projectPath);

    QString projectFolder;
    QString convertFolder;  // ProjectFolder/convert/
    QString titleFolder;    // .../output/title/
    QString contentsFolder; // .../output/contents/
    QString queryFolder;    // .../output/query/
    QString xmlFolder;      // .../input/xml/
    QString sdFolder;       // .../output/SD
    QString confFile;       // xml folder + KPGEditor_Conf.xml
    QString infoFile;       // xml folder + KPGEditor_Info.xml
};

// The output page's text: display language, guide languages and the card folder.
QString BuildOutputSummary(const CBindData& data, const QString& projectPath);

class COutputRun
{
public:
    // What one run came to, for the page to tell.
    struct Outcome
    {
        enum Result
        {
            Done,
            Cancelled,
            Failed
        };
        Result result = Done;
        // Told before the cancel message when the run failed; empty otherwise.
        QString message;
        unsigned flags = 0;
        // Set when the bind tool ended by itself.
        std::optional<int> toolExitCode;
        // What went wrong without stopping the run: titles left out, each with its reason.
        QStringList warnings;
    };

    // Without a progress the run and the check go through to their end.
    COutputRun(COstrelinDoc& doc, QString projectPath, QString appFolder, QString binFolder,
               COutputProgress* progress = nullptr);

    // Gives the unpacked converter tools handed to the title replacer; empty when they could
    // not be unpacked (no title can then be made). Asked when the run starts, since another
    // program may have removed them meanwhile.
    void SetToolSource(std::function<QString()> tools) { m_tools = std::move(tools); }
    // How the title replacer is started and waited for.
    void SetTitleRunner(ToolRunner runner) { m_titleRunner = std::move(runner); }
    // How the time of the waits on the tools passes; null (the default) is real time.
    void SetWaitClock(WaitClock* clock) { m_pClock = clock; }
    // Shows a text in the progress's place: while a Windows tool waits for Wine, and the
    // normal text again.
    void SetWaitText(std::function<void(const QString&)> setText)
    {
        m_setWaitText = std::move(setText);
    }
    // Where the screen bitmaps go; by default the user's temporary folder.
    void SetTempFolder(const QString& folder)
    {
        m_strTempFolder = folder;
        m_bTempFolderSet = true;
    }

    // Checks that every file the bind tool will be given can be read: the title pictures of
    // the guide languages, the content files of each registered work in each guide language
    // (only their header is read) and, with a questionnaire server, the questionnaire files.
    // The report gets one section per kind of problem. True when the report is empty, and
    // after a cancel (with *cancelled set).
    bool CheckStepData(QString& report, bool* cancelled);

    // Both tools are known to start before the last card and title files are held aside; a
    // run that does not end Done removes what it wrote and puts them back whole before it
    // returns.
    Outcome RunOutput();

    // The title mask of the last run.
    quint16 TitleMask() const { return m_wTitleMask; }

private:
    struct Run;

    // The last output held aside once both tools are known to start, and the folders made.
    bool PrepareFolders(Run& run);
    bool ReplaceTitles(Run& run);
    // The two bind files, written from the project data and the title mask.
    bool WriteBindFiles(Run& run);
    void RunBindTool(Run& run);

    bool CancelTest(Outcome& outcome) const;
    // Ends the run as failed with the tool's reason when it cannot start here; a cancel of
    // the probe ends it as cancelled.
    bool IsStartable(const ExternalTool& tool, Outcome& outcome) const;
    void StepIt();
    void SetStep(int step);
    // The wait on a tool: the events are served on every slice whatever the bar shows, and
    // the cancel test is asked on every slice; stepping advances the bar as well, and a note
    // is told of every slice.
    ToolWait Wait(bool stepping, WinePreparingNote* note = nullptr) const;
    // For a Windows tool the note that its wait is Wine's until `showedAnything`; none else.
    std::unique_ptr<WinePreparingNote> WineNote(const ExternalTool& tool,
                                                std::function<bool()> showedAnything) const;

    COstrelinDoc& m_doc;
    QString m_strProjectPath;
    QString m_strAppFolder;
    QString m_strBinFolder;
    COutputProgress* m_pProgress;
    std::function<QString()> m_tools;
    QString m_strTempFolder;
    bool m_bTempFolderSet = false;
    ToolRunner m_titleRunner = RunTool;
    WaitClock* m_pClock = nullptr;
    std::function<void(const QString&)> m_setWaitText;
    quint16 m_wTitleMask = 0;
};
