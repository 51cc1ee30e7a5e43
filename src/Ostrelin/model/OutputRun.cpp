#include "Ostrelin/model/OutputRun.h"

#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/ProjectFolders.h"
#include "Ostrelin/res/resource.h"
#include "TOVKContEdit/shared/ImageEx.h"
#include "platform/ExternalTool.h"
#include "platform/Messages.h"
#include "platform/OutputProgress.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/TempFolder.h"
#include "platform/ToolRun.h"
#include "platform/WinePreparingNote.h"

#include <QThread>

namespace
{
constexpr int kFileStep = 500;
constexpr int kToolStep = 2;
constexpr int kToolSliceMs = 10;
constexpr unsigned long kCompletePauseMs = 200;

bool HasLanguage(quint16 mask, int language)
{
    return (mask & (1u << language)) != 0;
}

// Pumps, then reports whether the user asked to cancel; without a dialog nothing is asked.
bool Cancelled(COutputProgress* progress, bool* cancelled)
{
    if (progress == nullptr)
        return false;
    progress->PumpMessages();
    if (!progress->IsCancelRequested())
        return false;
    *cancelled = true;
    return true;
}

void Append(QString& report, bool& headerDone, unsigned headerId, const QString& line)
{
    if (!headerDone)
    {
        report += Strings::Load(headerId);
        headerDone = true;
    }
    report += line;
}
} // namespace

OutputPaths::OutputPaths(const QString& projectPath)
{
    const CProjectTree tree(projectPath);
    projectFolder = tree.ProjectFolder();
    convertFolder = Path::AddBackslash(tree.ConvertFolder());
    titleFolder = Path::AddBackslash(tree.TitleFolder());
    contentsFolder = Path::AddBackslash(tree.ContentsFolder());
    queryFolder = Path::AddBackslash(tree.QueryFolder());
    xmlFolder = Path::AddBackslash(tree.XmlFolder());
    sdFolder = tree.SdFolder();
    confFile = xmlFolder + QStringLiteral("KPGEditor_Conf.xml");
    infoFile = xmlFolder + QStringLiteral("KPGEditor_Info.xml");
}

bool COutputRun::CheckStepData(QString& report, bool* cancelled)
{
    report.clear();
    const QString projectFolder = Path::RemoveFileSpec(m_strProjectPath);
    CBindData& data = m_doc.GetBindData();
    COutputProgress* progress = m_pProgress;
    if (progress)
        progress->SetStep(kFileStep);

    bool header = false;
    for (int i = 0; i < kLanguageCount; ++i)
    {
        if (!HasLanguage(data.m_wGuideLanguages, i) || !HasLanguage(data.m_wTitleLanguages, i))
            continue;
        CImageEx image;
        if (!image.LoadAndCheck(data.m_strTitleImage[i]))
            Append(report, header, IDS_CHECK_TITLE_HEADER,
                   FormatString(IDS_CHECK_TITLE_LINE, {GetLanguageName(i)}));
    }

    header = false;
    data.ClearWorkUsedFlags();
    CContentBinReader contents(projectFolder);
    for (const auto& [guideNo, entry] : data.m_mapGuides)
    {
        if (!entry)
            continue;
        const qint32 workNo = entry->m_nWorkNo;
        if (workNo < 1 || workNo > kMaxWorkNo)
            continue;
        const CWork* work = data.FindWork(workNo);
        if (work && work->m_bUsed)
            continue;
        quint16 failed = 0;
        for (int i = 0; i < kLanguageCount; ++i)
        {
            if (!HasLanguage(data.m_wGuideLanguages, i))
                continue;
            if (!work || !contents.Load(i, work->m_nFileNo))
                failed |= quint16(1u << i);
            if (Cancelled(progress, cancelled))
                return true;
        }
        if (failed == 0)
            data.MarkWorkUsed(workNo);
        for (int i = 0; i < kLanguageCount; ++i)
        {
            if (HasLanguage(failed, i))
                Append(report, header, IDS_CHECK_WORKS_HEADER,
                       FormatString(IDS_CHECK_WORK_LINE, {entry->m_nGuideNo, GetLanguageName(i)}));
        }
        if (Cancelled(progress, cancelled))
            return true;
    }
    if (progress)
        progress->StepIt();

    header = false;
    bool queryServer = false;
    for (const auto& server : data.m_listServers)
        queryServer = queryServer || (server && server->m_nRole == RoleEnquete);
    if (queryServer)
    {
        for (int i = 0; i < kLanguageCount; ++i)
        {
            if (!HasLanguage(data.m_wGuideLanguages, i))
                continue;
            const QString relative = FormatString(IDS_QUERY_FILE, {GetLanguageCode(i)});
            const QString path = Path::Append(projectFolder, relative);
            if (!Path::FileExists(path))
                Append(report, header, IDS_CHECK_QUERY_HEADER,
                       FormatString(IDS_CHECK_QUERY_LINE, {GetLanguageName(i)}));
            if (Cancelled(progress, cancelled))
                return true;
        }
    }
    if (progress)
        progress->StepIt();
    return report.isEmpty();
}

QString BuildOutputSummary(const CBindData& data, const QString& projectPath)
{
    QString text =
        FormatString(IDS_OUTPUT_DISPLAY_LANGUAGE, {GetLanguageName(data.m_nDisplayLanguage)});
    text += Strings::Load(IDS_OUTPUT_GUIDE_LANGUAGES);
    if (data.m_wGuideLanguages == 0)
        text += Strings::Load(IDS_OUTPUT_NO_GUIDE_LANGUAGE);
    else
    {
        for (int i = 0; i < kLanguageCount; ++i)
        {
            if (HasLanguage(data.m_wGuideLanguages, i))
                text += FormatString(IDS_OUTPUT_GUIDE_LANGUAGE, {GetLanguageName(i)});
        }
        text += Strings::Load(IDS_OUTPUT_GUIDE_LANGUAGES_END);
    }
    QString folder = Path::RemoveFileSpec(projectPath);
    while (folder.endsWith(u'/'))
        folder.chop(1);
    text += FormatString(IDS_OUTPUT_FOLDER, {folder + Strings::Load(IDS_OUTPUT_SD_FOLDER)});
    return text;
}

COutputRun::COutputRun(COstrelinDoc& doc, QString projectPath, QString appFolder, QString binFolder,
                       COutputProgress* progress)
    : m_doc(doc), m_strProjectPath(std::move(projectPath)), m_strAppFolder(std::move(appFolder)),
      m_strBinFolder(std::move(binFolder)), m_pProgress(progress)
{
}

bool COutputRun::CancelTest(Outcome& outcome) const
{
    bool cancelled = false;
    if (!Cancelled(m_pProgress, &cancelled))
        return false;
    outcome.result = Outcome::Cancelled;
    return true;
}

void COutputRun::StepIt()
{
    if (m_pProgress)
        m_pProgress->StepIt();
}

void COutputRun::SetStep(int step)
{
    if (m_pProgress)
        m_pProgress->SetStep(step);
}

ToolWait COutputRun::Wait(bool stepping, WinePreparingNote* note) const
{
    ToolWait wait;
    wait.sliceMs = kToolSliceMs;
    wait.clock = m_pClock;
    if (m_pProgress)
    {
        // The bar stops at its end; the events and the cancel test never do.
        COutputProgress* progress = m_pProgress;
        wait.pump = [progress] { progress->PumpMessages(); };
        wait.cancel = [progress] { return progress->IsCancelRequested(); };
    }
    COutputProgress* progress = stepping ? m_pProgress : nullptr;
    if (progress || note)
        wait.step = [progress, note]
        {
            if (note)
                note->Slice(kToolSliceMs);
            if (progress)
                progress->StepIt();
        };
    return wait;
}

std::unique_ptr<WinePreparingNote> COutputRun::WineNote(const ExternalTool& tool,
                                                        std::function<bool()> showedAnything) const
{
    if (!tool.IsWindows() || !m_setWaitText)
        return nullptr;
    return std::make_unique<WinePreparingNote>(Strings::Load(IDS_WINE_PREPARING),
                                               Strings::Load(IDS_OUTPUT_PROGRESS_TEXT),
                                               m_setWaitText, std::move(showedAnything));
}

namespace
{
// Ends the run as failed with a message for the author.
bool Fail(COutputRun::Outcome& outcome, const QString& text,
          unsigned flags = MB_OK | MB_ICONEXCLAMATION)
{
    outcome.result = COutputRun::Outcome::Failed;
    outcome.message = text;
    outcome.flags = flags;
    return false;
}

// 3021, with the reason when the tool is a Windows program that Wine could not run here.
bool ToolNotStarted(COutputRun::Outcome& outcome, const ToolResult& result)
{
    const QString reason =
        result.NotStartedReason(IDS_OUTPUT_TOOL_CANNOT_RUN_32, IDS_OUTPUT_TOOL_WINE_FAILED,
                                IDS_OUTPUT_TOOL_PREFIX_UNUSABLE);
    const QString text = Strings::Load(IDS_OUTPUT_TOOL_MISSING);
    return Fail(outcome, reason.isEmpty() ? text : text + QStringLiteral("\n\n") + reason);
}
} // namespace

// The working state of one run.
struct COutputRun::Run
{
    explicit Run(const QString& projectPath) : paths(projectPath), last(projectPath) {}

    const OutputPaths paths;
    CLastOutput last;
    ExternalTool bindTool;
    ExternalTool replacer;
    // The unpacked converter tools, asked once the run starts.
    QString toolFolder;
    Outcome outcome;
};

bool COutputRun::IsStartable(const ExternalTool& tool, Outcome& outcome) const
{
    ToolResult why;
    if (tool.IsStartable(&why, Wait(false)))
        return true;
    if (why.outcome == ToolResult::Cancelled)
    {
        outcome.result = Outcome::Cancelled;
        return false;
    }
    return ToolNotStarted(outcome, why);
}

COutputRun::Outcome COutputRun::RunOutput()
{
    Run run(m_strProjectPath);
    SetStep(kFileStep);
    if (PrepareFolders(run) && ReplaceTitles(run) && WriteBindFiles(run))
        RunBindTool(run);
    return run.outcome;
}

bool COutputRun::PrepareFolders(Run& run)
{
    // Without the project's folder every path below would lie in the root.
    if (run.paths.projectFolder.isEmpty())
        return Fail(run.outcome, Strings::Load(IDS_CANNOT_CREATE), MB_OK);

    // What an output that never ended held aside comes back before anything else. Whatever
    // ends this run before it is kept puts the last card and titles back.
    run.last.Recover();

    // The tools are known to start before anything of the last output moves; the replacer
    // also needs the unpacked tools, without which no title could be made.
    const CBindData& data = m_doc.GetBindData();
    const bool titlesWanted = (data.m_wTitleLanguages & data.m_wGuideLanguages) != 0;
    const QString toolFolder = m_tools ? m_tools() : QString();
    if (titlesWanted && toolFolder.isEmpty())
        return Fail(run.outcome, Strings::Load(IDS_OUTPUT_TOOL_MISSING));
    run.bindTool = ExternalTool::Find(m_strBinFolder, QStringLiteral("durnap"));
    run.replacer = ExternalTool::Find(Path::Append(m_strAppFolder, QStringLiteral("bin")),
                                      QStringLiteral("halbrine"));
    run.toolFolder = toolFolder;
    if (titlesWanted && !IsStartable(run.replacer, run.outcome))
        return false;
    if (!IsStartable(run.bindTool, run.outcome))
        return false;

    QString error;
    if (!run.last.MoveAside(&error))
        return Fail(run.outcome, Strings::Load(IDS_CANNOT_CREATE) + QStringLiteral("\n\n") + error,
                    MB_OK);
    CreateProjectFolders(m_strProjectPath);
    StepIt();
    return !CancelTest(run.outcome);
}

bool COutputRun::ReplaceTitles(Run& run)
{
    TitleRun titles;
    titles.titleOutputFolder = run.paths.titleFolder;
    titles.appFolder = m_strAppFolder;
    titles.toolFolder = run.toolFolder;
    titles.tempFolder = m_bTempFolderSet ? m_strTempFolder : TempFolder();
    titles.run = m_titleRunner;
    // Until the first title file is there, a Windows replacer's wait is Wine's.
    const QString titleFolder = run.paths.titleFolder;
    std::unique_ptr<WinePreparingNote> titleNote =
        WineNote(run.replacer, [titleFolder]
                 { return !Path::Find(titleFolder, QStringLiteral("R??000.BIN")).isEmpty(); });
    titles.wait = Wait(false, titleNote.get());
    ToolResult titleFailure;
    titles.notStarted = &titleFailure;
    bool titlesCancelled = false;
    quint16 titlesFailed = 0;
    QStringList notWritten;
    m_wTitleMask = ReplaceTitleImages(m_doc.GetBindData(), titles, &titlesCancelled, &titlesFailed,
                                      &notWritten);
    titleNote.reset();
    if (titleFailure.reason != ToolResult::StartFailed)
        return ToolNotStarted(run.outcome, titleFailure);
    if (titlesCancelled)
    {
        run.outcome.result = Outcome::Cancelled;
        return false;
    }
    for (int i = 0; i < kLanguageCount; ++i)
        if (titlesFailed & (1u << i))
            run.outcome.warnings.append(
                FormatString(IDS_OUTPUT_TITLE_FAILED, {GetLanguageName(i)}));
    run.outcome.warnings += notWritten;
    if (CancelTest(run.outcome))
        return false;
    StepIt();
    return true;
}

bool COutputRun::WriteBindFiles(Run& run)
{
    const CBindData& data = m_doc.GetBindData();
    const ExternalTool& bindTool = run.bindTool;
    // The bind tool's form decides how the two files name the data files.
    BindConfRows confRows = BuildBindConfRows(data, m_wTitleMask, run.paths.titleFolder);
    for (CBindConfItem& row : confRows)
        row.m_strTitleImg = bindTool.ToolPath(row.m_strTitleImg);
    // Both files are made inside the project's folder: a folder of the tree that is a link is
    // refused, not followed. The information file is written as its rows are made, and
    // replaces the old one only after the configuration file did.
    const OutputFolder project(run.paths.projectFolder);
    const OutputFolder xmlFolder(project, QStringLiteral("convert/input/xml"));
    CBindInfoWriter infoFile(xmlFolder, Path::FindFileName(run.paths.infoFile));
    CBindInfoItem toolRow;
    const BindInfoSink add = [&](const CBindInfoItem& row)
    {
        if (!bindTool.IsWindows())
            return infoFile.Add(row);
        toolRow = row;
        toolRow.m_strResource = bindTool.ToolPath(row.m_strResource);
        infoFile.Add(toolRow);
    };
    CDiskSpelling spelling;
    for (const auto& server : data.m_listServers)
    {
        if (server)
            AppendServerRows(data, *server, run.paths.contentsFolder, run.paths.queryFolder, add,
                             spelling);
        if (CancelTest(run.outcome))
            return false;
    }

    StepIt();
    if (!CXmlBindConfFile().Save(xmlFolder, Path::FindFileName(run.paths.confFile), confRows))
        return Fail(run.outcome, Strings::Load(IDS_CANNOT_CREATE), MB_OK);
    if (CancelTest(run.outcome))
        return false;
    StepIt();
    if (!infoFile.Commit())
        return Fail(run.outcome, Strings::Load(IDS_CANNOT_CREATE), MB_OK);
    if (CancelTest(run.outcome))
        return false;
    StepIt();
    return true;
}

void COutputRun::RunBindTool(Run& run)
{
    const ExternalTool& bindTool = run.bindTool;
    const OutputPaths& paths = run.paths;
    SetStep(kToolStep);
    const CommandLine command = bindTool.Command(
        {QStringLiteral("-conf"), bindTool.ToolPath(Path::Resolve(paths.confFile)),
         QStringLiteral("-info"), bindTool.ToolPath(Path::Resolve(paths.infoFile)),
         QStringLiteral("-out"), bindTool.ToolPath(Path::Resolve(paths.sdFolder))});
    const std::unique_ptr<WinePreparingNote> toolNote =
        WineNote(bindTool, [this] { return HasCardOutput(m_strProjectPath); });
    const ToolResult tool = RunTool(command, m_strBinFolder, Wait(true, toolNote.get()));
    switch (tool.outcome)
    {
    case ToolResult::NotStarted:
        ToolNotStarted(run.outcome, tool);
        break;
    case ToolResult::Cancelled:
        // Killed and reaped before its card goes.
        run.outcome.result = Outcome::Cancelled;
        return;
    case ToolResult::Signalled:
    case ToolResult::Running: // never from RunTool, which returns once the tool has ended
        Fail(run.outcome, Strings::Load(IDS_OUTPUT_TOOL_FAILED));
        break;
    case ToolResult::Exited:
        run.outcome.toolExitCode = tool.exitCode;
        // A code, or success without a card tree, is no card to replace the last one with.
        if (tool.exitCode != 0)
            Fail(run.outcome, FormatString(IDS_OUTPUT_TOOL_EXIT_CODE, {tool.exitCode}));
        else if (!HasCardOutput(m_strProjectPath))
            Fail(run.outcome, Strings::Load(IDS_OUTPUT_TOOL_WROTE_NOTHING));
        break;
    }
    if (run.outcome.result == Outcome::Done)
        run.last.Keep();
    if (m_pProgress)
    {
        m_pProgress->Complete();
        QThread::msleep(kCompletePauseMs);
    }
}
