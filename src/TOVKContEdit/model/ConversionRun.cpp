#include "TOVKContEdit/model/ConversionRun.h"

#include "TOVKContEdit/model/ContentValidation.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/resource.h"
#include "platform/AtomicFile.h"
#include "platform/Messages.h"
#include "platform/OutputProgress.h"
#include "platform/Path.h"
#include "platform/SetAside.h"
#include "platform/Strings.h"
#include "platform/ToolRun.h"
#include "platform/WinePreparingNote.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>
#include <algorithm>
#include <memory>

namespace
{
// How often the window is served while the rows are checked and the converter runs.
constexpr int kPumpSliceMs = 20;
// A language's data files: what is set aside before its conversion.
const QString kDataFiles = QStringLiteral("*.bin");

QString ShortName(int language)
{
    return Strings::Load(IDS_LANGUAGE_NAME_FIRST + static_cast<unsigned>(language));
}

// 124, with the reason when Wine could not run the converter.
void NotStarted(const ToolResult& result)
{
    const QString reason = result.NotStartedReason(
        IDS_CONVERTER_CANNOT_RUN_32, IDS_CONVERTER_WINE_FAILED, IDS_CONVERTER_PREFIX_UNUSABLE);
    if (reason.isEmpty())
        AfxMessageBox(IDS_CONVERSION_ERROR);
    else
        AfxMessageBox(Strings::Load(IDS_CONVERSION_ERROR) + QStringLiteral("\n\n") + reason);
}
// The converter gave the language its data: at least one data file, and none of them empty
// (a disk that ran full leaves empty files behind).
bool DataWritten(const QString& folder)
{
    const QStringList names = Path::Find(folder, kDataFiles, Path::FindFilesOnly);
    for (const QString& name : names)
        if (QFileInfo(Path::Append(folder, name)).size() == 0)
            return false;
    return !names.isEmpty();
}
} // namespace

void CConversionRun::RecoverSetAside(const CTOVKContEditDoc& doc)
{
    // Without a content folder there is nothing of ours to look at.
    if (doc.GetOutputFolders().convertFolder.isEmpty())
        return;
    for (int language = 0; language < LanguageCount; ++language)
        SetAside::Recover(doc.OutputFolder(language), kDataFiles);
}

void CConversionRun::Reset()
{
    m_allKept = true;
    m_report = ConverterReport{};
    m_warnings.clear();
    m_failureNote.clear();
}

CConversionRun::Outcome CConversionRun::Run(bool allLanguages, OutputFolders folders,
                                            const QString& logPath)
{
    Reset();
    const int display = m_doc.GetDisplayLanguage();
    std::array<bool, LanguageCount> chosen = m_doc.ContentLanguages();
    if (!allLanguages)
        for (int language = 0; language < LanguageCount; ++language)
            chosen[language] = chosen[language] && language == display;
    const auto startLanguage = [this](int language)
    {
        if (m_onLanguage)
            m_onLanguage(language);
    };

    // Each picture and voice is judged once in this run, whatever the number of languages.
    CFileVerdicts verdicts;
    const auto guard = qScopeGuard([this] { m_doc.SetFileVerdicts(nullptr); });
    m_doc.SetFileVerdicts(&verdicts);
    m_doc.SetOutputFolders(folders);

    // Every chosen language is checked before any data file moves: a run that stops at
    // a check leaves the data of every language as it was. Each check starts with the events
    // served and serves them between its rows at most a slice apart; a cancel stops it there.
    QElapsedTimer served;
    const auto goOn = [this, &served]
    {
        if (m_pProgress == nullptr)
            return true;
        if (!served.isValid() || served.elapsed() >= kPumpSliceMs)
        {
            m_pProgress->PumpMessages();
            served.start();
        }
        return !m_pProgress->IsCancelRequested();
    };
    Outcome outcome;
    for (int language = 0; language < LanguageCount; ++language)
    {
        if (!chosen[language])
            continue;
        startLanguage(language);
        served.invalidate();
        if (Cancelled() || !m_doc.CheckLanguage(language, goOn))
        {
            outcome.stoppedAt = language;
            return outcome;
        }
    }
    // Nothing is set aside for a converter that cannot start.
    const auto first = std::find(chosen.begin(), chosen.end(), true);
    if (first == chosen.end())
        return outcome;
    ToolResult why;
    if (!m_doc.Converter().IsStartable(&why, Wait({})))
    {
        if (why.outcome == ToolResult::NotStarted)
            NotStarted(why);
        outcome.stoppedAt = int(first - chosen.begin());
        return outcome;
    }
    // Languages without content lose their stale data files once the run went through; a
    // chosen language sets its own aside only right before its conversion, so a run that
    // stops keeps the data of every language it did not convert.
    std::array<std::unique_ptr<SetAside>, LanguageCount> stale;
    for (int language = 0; language < LanguageCount; ++language)
    {
        QString folder;
        if (chosen[language] || !(allLanguages || language == display) ||
            !m_doc.PrepareOutputFolder(language, &folder))
            continue;
        stale[language] = std::make_unique<SetAside>(folder, kDataFiles);
        stale[language]->Move();
    }
    for (int language = 0; language < LanguageCount; ++language)
    {
        if (!chosen[language])
            continue;
        startLanguage(language);
        outcome.converted = false;
        outcome.stoppedAt = language;
        ProgressStep();
        folders.toolFolder = m_tools ? m_tools() : folders.toolFolder;
        m_doc.SetOutputFolders(folders);
        if (folders.toolFolder.isEmpty())
        {
            AfxMessageBox(IDS_CONVERSION_ERROR);
            return outcome;
        }
        if (Cancelled() || !ConvertLanguage(logPath, language))
            return outcome;
        outcome.converted = true;
        outcome.stoppedAt = -1;
    }
    // Stale data goes only with a run that gave every chosen language its new data.
    if (m_allKept)
        for (const std::unique_ptr<SetAside>& old : stale)
            if (old)
                old->Discard();
    return outcome;
}

ToolWait CConversionRun::Wait(std::function<void()> step) const
{
    if (m_waitSource)
        return m_waitSource(std::move(step), kPumpSliceMs);
    ToolWait wait;
    wait.sliceMs = kPumpSliceMs;
    if (COutputProgress* progress = m_pProgress)
    {
        wait.pump = [progress] { progress->PumpMessages(); };
        wait.cancel = [progress] { return progress->IsCancelRequested(); };
        wait.step = std::move(step);
    }
    return wait;
}

bool CConversionRun::Cancelled() const
{
    return m_pProgress && m_pProgress->IsCancelRequested();
}

int CConversionRun::ProgressStep()
{
    return m_pProgress ? m_pProgress->StepIt() : 100;
}

void CConversionRun::PumpFor(int ms)
{
    if (m_pProgress == nullptr)
        return;
    QElapsedTimer timer;
    timer.start();
    for (;;)
    {
        m_pProgress->PumpMessages();
        const qint64 left = ms - timer.elapsed();
        if (left <= 0)
            break;
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(5, left)));
    }
}

bool CConversionRun::ConvertLanguage(const QString& logPath, int language)
{
    QString folder;
    if (!m_doc.PrepareOutputFolder(language, &folder))
        return false;
    // The converter finds the folder without data files; the old ones come back unless it
    // gives the language new ones.
    SetAside old(folder, kDataFiles);
    if (!old.Move())
        return false;
    const ExternalTool converter = m_doc.Converter();
    m_doc.FillConverterRecords(language, converter);
    ProgressStep();

    const QString input = m_doc.ConverterInputPath(language);
    // Made inside the -d folder: a folder of the tree that is a link is refused, not followed.
    const OutputFolder convertFolder(m_doc.GetOutputFolders().convertFolder);
    const OutputFolder inputFolder(convertFolder,
                                   QStringLiteral("output/contents/") +
                                       CTOVKContEditDoc::OutputLanguageCode(language));
    if (!m_doc.GetXmlFile().Save(inputFolder, Path::FindFileName(input), m_doc.GetRecords()))
    {
        ProgressStep();
        return false;
    }

    ToolRun run;
    // The log is made anew for each language; without it the converter runs unredirected.
    if (!logPath.isEmpty() && ReplaceFile(logPath, {}))
        run.SetStandardOutputFile(logPath);
    bool ended = false;
    if (!run.Start(m_doc.ConverterCommandLine(converter, input, folder),
                   m_doc.GetOutputFolders().convertFolder))
    {
        NotStarted(run.Result());
    }
    else
    {
        int position = 0;
        QElapsedTimer slice;
        slice.start();
        // A Windows converter that has printed nothing and written nothing is still Wine's.
        std::unique_ptr<WinePreparingNote> note;
        if (converter.IsWindows() && m_onWaitText)
            note = std::make_unique<WinePreparingNote>(
                Strings::Load(IDS_WINE_PREPARING), QString(), m_onWaitText,
                [&logPath, &folder]
                {
                    return (!logPath.isEmpty() && QFileInfo(logPath).size() > 0) ||
                           !Path::Find(folder, kDataFiles, Path::FindFilesOnly).isEmpty();
                });
        // The bar stops at 98 %; the events and the cancel test never do.
        const ToolResult result = run.Wait(Wait(
            [&]
            {
                if (note)
                    note->Slice(kPumpSliceMs);
                if (slice.elapsed() < ProgressStepMs)
                    return;
                slice.restart();
                if (position < 98)
                    position = ProgressStep();
            }));
        note.reset();
        if (result.outcome == ToolResult::NotStarted)
            NotStarted(result);
        else if (result.outcome == ToolResult::Signalled)
            m_failureNote = Strings::Load(IDS_CONVERTER_ENDED_ABNORMALLY);
        else if (result.outcome == ToolResult::Exited)
        {
            ended = true;
            // The converter's findings of this language, before the next run replaces the log.
            const bool abortedBefore = m_report.aborted;
            m_report.aborted = false;
            if (!logPath.isEmpty())
                ReadConverterLogFile(logPath, m_report, converter.OutputEncoding());
            const bool aborted = m_report.aborted;
            m_report.aborted = aborted || abortedBefore;
            // An input without records may rightly give nothing; one with records must give
            // data files that are whole.
            const bool written = m_doc.GetRecords().empty() || DataWritten(folder);
            if (result.exitCode == 0 && !aborted && written)
                old.Discard();
            else
            {
                old.Restore();
                m_allKept = false;
            }
            // An abort is told by its report alone.
            if (!aborted && result.exitCode != 0)
                m_warnings.append(
                    FormatString(IDS_CONVERTER_EXIT_CODE, {ShortName(language), result.exitCode}));
            else if (!aborted && !written)
                m_warnings.append(FormatString(IDS_CONVERTER_WROTE_NOTHING, {ShortName(language)}));
            while (position < 100)
            {
                position = ProgressStep();
                PumpFor(10);
            }
            PumpFor(500);
        }
    }
    QFile::remove(input);
    return ended;
}
