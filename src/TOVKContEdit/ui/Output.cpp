#include "TOVKContEdit/ui/Output.h"

#include "TOVKContEdit/model/ContentValidation.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/ProgressDlg.h"
#include "framework/LongOperation.h"
#include "framework/ProgressPump.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/TempFolder.h"
#include "platform/ToolRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <memory>
#include <optional>

namespace
{
// How often the window is served while the converter runs.
constexpr int kPumpSliceMs = 20;

QString ShortName(int language)
{
    return Strings::Load(IDS_LANGUAGE_NAME_FIRST + static_cast<unsigned>(language));
}

// Waits the given time while the window keeps handling its events.
void PumpFor(int ms)
{
    QElapsedTimer timer;
    timer.start();
    for (;;)
    {
        ProgressPump::PumpMessages();
        const qint64 left = ms - timer.elapsed();
        if (left <= 0)
            break;
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(5, left)));
    }
}
} // namespace

CContentOutput::CContentOutput(CTOVKContEditDoc& doc, std::function<OutputFolders()> folders)
    : m_doc(doc), m_folders(std::move(folders))
{
}

void CContentOutput::SetOwner(QWidget* owner)
{
    m_owner = owner;
}

bool CContentOutput::OnUpdateFileOutput() const
{
    return m_doc.GetRowCount() > 0;
}

void CContentOutput::Cancel()
{
    if (m_progress)
        m_progress->RequestCancel();
}

bool CContentOutput::CancelRequested() const
{
    return m_progress && m_progress->IsCancelRequested();
}

QString CContentOutput::ConverterLogPath()
{
    // Without a private temporary folder there is no log rather than one in a shared place.
    const QString folder = TempFolder();
    return folder.isEmpty() ? QString() : Path::Append(folder, QStringLiteral("marvex.log"));
}

int CContentOutput::ProgressStep()
{
    return m_progress ? m_progress->StepIt() : 100;
}

void CContentOutput::SetLabel(const QString& text)
{
    if (m_progress && m_progress->Label())
        m_progress->Label()->setText(text);
}

void CContentOutput::NotStarted(const ToolResult& result)
{
    const QString reason =
        result.NotStartedReason(IDS_CONVERTER_CANNOT_RUN_32, IDS_CONVERTER_WINE_FAILED);
    if (reason.isEmpty())
        AfxMessageBox(IDS_CONVERSION_ERROR);
    else
        AfxMessageBox(Strings::Load(IDS_CONVERSION_ERROR) + QStringLiteral("\n\n") + reason);
}

bool CContentOutput::ConvertLanguage(const QString& logPath, int language)
{
    QString folder;
    if (!m_doc.PrepareOutputFolder(language, &folder))
        return false;
    const ExternalTool converter = m_doc.Converter();
    m_doc.FillConverterRecords(language, converter);
    ProgressStep();

    const QString input = m_doc.ConverterInputPath(language);
    if (!m_doc.GetXmlFile().Save(input, m_doc.GetRecords()))
    {
        ProgressStep();
        return false;
    }

    // Called on its own, the conversion is a long operation of its own.
    std::optional<CLongOperation> own;
    if (m_operation == nullptr)
        own.emplace();
    const CLongOperation& operation = m_operation ? *m_operation : *own;
    ToolRun run;
    // The log is made anew for each language; without it the converter runs unredirected.
    {
        QFile log(logPath);
        if (!logPath.isEmpty() && log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        {
            log.close();
            run.SetStandardOutputFile(logPath);
        }
    }
    bool converted = false;
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
        // Every slice serves the events and asks the cancel test; the bar moves once a
        // second up to 98 %.
        const ToolWait wait = operation.Wait(
            [&]
            {
                if (slice.elapsed() >= WaitSliceMs)
                {
                    slice.restart();
                    if (position < 98)
                        position = ProgressStep();
                }
            },
            kPumpSliceMs);
        const ToolResult result = run.Wait(wait);
        if (result.outcome == ToolResult::NotStarted)
            NotStarted(result);
        else if (result.outcome == ToolResult::Signalled)
            m_failureNote = Strings::Load(IDS_CONVERTER_ENDED_ABNORMALLY);
        else if (result.outcome == ToolResult::Exited)
        {
            converted = true;
            if (result.exitCode != 0)
                m_warnings.append(
                    FormatString(IDS_CONVERTER_EXIT_CODE, {ShortName(language), result.exitCode}));
            // An input without records may rightly give nothing; one with records must give
            // data files, or the language's folder was emptied for nothing.
            else if (!m_doc.GetRecords().empty() &&
                     Path::Find(folder, QStringLiteral("*.bin"), Path::FindFilesOnly).isEmpty())
                m_warnings.append(FormatString(IDS_CONVERTER_WROTE_NOTHING, {ShortName(language)}));
            while (position < 100)
            {
                position = ProgressStep();
                PumpFor(10);
            }
            if (m_progress)
                m_progress->repaint();
            PumpFor(500);
            // The converter's findings of this language, before the next run replaces the log.
            if (!logPath.isEmpty())
                ReadConverterLogFile(logPath, m_report, converter.OutputEncoding());
        }
    }
    QFile::remove(input);
    return converted;
}

void CContentOutput::OnFileOutput()
{
    OutputFolders folders = m_folders ? m_folders() : OutputFolders{};
    m_doc.SetOutputFolders(folders);
    m_report = ConverterReport{};
    m_warnings.clear();
    m_failureNote.clear();
    if (m_doc.GetRowCount() == 0)
    {
        AfxMessageBox(IDS_NO_CONTENT);
        AfxMessageBox(IDS_OUTPUT_FAILED);
        return;
    }
    const int display = m_doc.GetDisplayLanguage();
    const int answer = AfxMessageBox(FormatString(IDS_OUTPUT_ALL_LANGUAGES, {ShortName(display)}),
                                     MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return;
    const bool all = answer == IDYES;

    std::array<bool, 9> chosen = m_doc.ContentLanguages();
    if (!all)
        for (int language = 0; language < 9; ++language)
            chosen[language] = chosen[language] && language == display;

    // While the run serves events, nothing may change the table under it; a termination
    // request cancels it like the Cancel button. The guard ends the document's dialog
    // pointer on every way out.
    CLongOperation operation;
    struct RunGuard
    {
        CContentOutput& output;
        ~RunGuard()
        {
            output.m_doc.SetFileVerdicts(nullptr);
            output.m_doc.SetProgressDlg(nullptr);
            output.m_progress = nullptr;
            output.m_operation = nullptr;
        }
    };
    auto progress = std::make_unique<CProgressDlg>();
    // Each picture and voice is judged once in this run, whatever the number of languages.
    CFileVerdicts verdicts;
    const RunGuard guard{*this};
    m_operation = &operation;
    m_doc.SetFileVerdicts(&verdicts);
    progress->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    progress->m_nCaptionID = IDS_OUTPUTTING;
    progress->Create(m_owner);
    m_progress = progress.get();
    operation.SetCancelHandler([this] { Cancel(); });
    operation.SetCancelTest([this] { return CancelRequested(); });
    m_doc.SetProgressDlg(m_progress);
    SetLabel(Strings::Load(IDS_OUTPUTTING_CONTENT));
    progress->repaint();

    const QString logPath = ConverterLogPath();
    const auto startLanguage = [this](int language)
    {
        SetLabel(Strings::Load(IDS_OUTPUTTING_CONTENT) + QStringLiteral(" ... ") +
                 ShortName(language));
        m_progress->SetPos(0);
        m_progress->UpdatePercent(0);
    };

    // Every chosen language is checked before any data file is deleted: a run that stops at
    // a check leaves the data of every language as it was.
    bool succeeded = false;
    int stoppedAt = -1;
    for (int language = 0; language < 9 && stoppedAt < 0; ++language)
    {
        if (!chosen[language])
            continue;
        startLanguage(language);
        if (CancelRequested() || !m_doc.CheckLanguage(language))
            stoppedAt = language;
    }
    if (stoppedAt < 0)
    {
        // Languages without content lose their stale data files. A chosen language loses its
        // own only right before its conversion, so a run that stops keeps the data of every
        // language it did not reach.
        for (int language = 0; language < 9; ++language)
            if (!chosen[language] && (all || language == display))
                m_doc.PrepareOutputFolder(language, nullptr);
    }
    for (int language = 0; language < 9 && stoppedAt < 0; ++language)
    {
        if (!chosen[language])
            continue;
        startLanguage(language);
        succeeded = false;
        stoppedAt = language;
        ProgressStep();
        // Another program may have removed the shared tool folder since the last language.
        folders.toolFolder = m_tools ? m_tools() : folders.toolFolder;
        m_doc.SetOutputFolders(folders);
        if (folders.toolFolder.isEmpty())
        {
            AfxMessageBox(IDS_CONVERSION_ERROR);
            break;
        }
        if (CancelRequested() || !ConvertLanguage(logPath, language))
            break;
        succeeded = true;
        stoppedAt = -1;
    }

    operation.SetCancelHandler({});
    operation.SetCancelTest({});
    m_doc.SetProgressDlg(nullptr);
    m_progress = nullptr;
    progress.reset();

    // The program ends: nothing waits for the author.
    if (CLongOperation::IsTerminationRequested())
        return;
    // The warnings of the whole run come together with its outcome: a language whose
    // converter ended with a code is still named when a later one fails.
    const QString before = m_warnings.isEmpty() ? QString() : m_warnings.join(u'\n') + "\n\n";
    if (!succeeded)
    {
        const QString where =
            stoppedAt >= 0 ? ShortName(stoppedAt) : Strings::Load(IDS_CONVERSION_ERROR);
        const QString first = m_failureNote.isEmpty() ? QString() : m_failureNote + u'\n';
        AfxMessageBox(before + first + Strings::Load(IDS_OUTPUT_FAILED) + QStringLiteral("\n\n") +
                      where);
        return;
    }
    if (m_report.aborted)
    {
        AfxMessageBox(before + FormatString(IDS_OUTPUT_ABORTED, {m_report.lines}), MB_OK);
        return;
    }
    if (!m_warnings.isEmpty())
    {
        AfxMessageBox(m_warnings.join(u'\n'), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (m_report.logFound)
        AfxMessageBox(IDS_OUTPUT_COMPLETED, MB_OK | MB_ICONINFORMATION);
}
