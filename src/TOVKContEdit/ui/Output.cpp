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
QString ShortName(int language)
{
    return Strings::Load(IDS_LANGUAGE_NAME_FIRST + static_cast<unsigned>(language));
}

} // namespace

CContentOutput::CContentOutput(CTOVKContEditDoc& doc, std::function<OutputFolders()> folders)
    : m_doc(doc), m_folders(std::move(folders)), m_run(doc)
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

void CContentOutput::OnFileOutput()
{
    OutputFolders folders = m_folders ? m_folders() : OutputFolders{};
    m_doc.SetOutputFolders(folders);
    m_run.Reset();
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
    // request cancels it like the Cancel button. The guard ends the run's pointers into
    // this run on every way out.
    CLongOperation operation;
    struct RunGuard
    {
        CContentOutput& output;
        ~RunGuard()
        {
            output.m_doc.SetFileVerdicts(nullptr);
            output.m_progress = nullptr;
            output.m_run.SetProgress(nullptr);
        }
    };
    auto progress = std::make_unique<CProgressDlg>();
    // Each picture and voice is judged once in this run, whatever the number of languages.
    CFileVerdicts verdicts;
    const RunGuard guard{*this};
    m_doc.SetFileVerdicts(&verdicts);
    progress->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    progress->m_nCaptionID = IDS_OUTPUTTING;
    progress->Create(m_owner);
    m_progress = progress.get();
    m_run.SetProgress(m_progress);
    m_run.SetWaitClock(CLongOperation::Clock());
    operation.SetCancelHandler([this] { Cancel(); });
    operation.SetCancelTest([this] { return CancelRequested(); });
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
        if (CancelRequested() || !m_run.ConvertLanguage(logPath, language))
            break;
        succeeded = true;
        stoppedAt = -1;
    }

    operation.SetCancelHandler({});
    operation.SetCancelTest({});
    m_run.SetProgress(nullptr);
    m_progress = nullptr;
    progress.reset();

    // The program ends: nothing waits for the author.
    if (CLongOperation::IsTerminationRequested())
        return;
    // The warnings of the whole run come together with its outcome: a language whose
    // converter ended with a code is still named when a later one fails.
    const QString before =
        m_run.Warnings().isEmpty() ? QString() : m_run.Warnings().join(u'\n') + "\n\n";
    if (!succeeded)
    {
        const QString where =
            stoppedAt >= 0 ? ShortName(stoppedAt) : Strings::Load(IDS_CONVERSION_ERROR);
        const QString first =
            m_run.FailureNote().isEmpty() ? QString() : m_run.FailureNote() + u'\n';
        AfxMessageBox(before + first + Strings::Load(IDS_OUTPUT_FAILED) + QStringLiteral("\n\n") +
                      where);
        return;
    }
    if (m_run.Report().aborted)
    {
        AfxMessageBox(before + FormatString(IDS_OUTPUT_ABORTED, {m_run.Report().lines}), MB_OK);
        return;
    }
    if (!m_run.Warnings().isEmpty())
    {
        AfxMessageBox(m_run.Warnings().join(u'\n'), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (m_run.Report().logFound)
        AfxMessageBox(IDS_OUTPUT_COMPLETED, MB_OK | MB_ICONINFORMATION);
}
