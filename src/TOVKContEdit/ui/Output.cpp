#include "TOVKContEdit/ui/Output.h"

#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/ProgressDlg.h"
#include "framework/LongOperation.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/TempFolder.h"

#include <QLabel>
#include <QScopeGuard>
#include <memory>

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
    // The label names the language checked or converted; its bar starts empty.
    m_run.SetLanguageHandler(
        [this](int language)
        {
            if (m_progress == nullptr)
                return;
            m_languageLabel = Strings::Load(IDS_OUTPUTTING_CONTENT) + QStringLiteral(" ... ") +
                              ShortName(language);
            SetLabel(m_languageLabel);
            m_progress->SetPos(0);
            m_progress->UpdatePercent(0);
        });
    // While Wine prepares, the label says so; then it names the language again.
    m_run.SetWaitTextHandler([this](const QString& text)
                             { SetLabel(text.isEmpty() ? m_languageLabel : text); });
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

void CContentOutput::SetLabel(const QString& text)
{
    if (m_progress && m_progress->Label())
        m_progress->Label()->setText(text);
}

void CContentOutput::OnFileOutput()
{
    const OutputFolders folders = m_folders ? m_folders() : OutputFolders{};
    m_doc.SetOutputFolders(folders);
    // What a killed run had set aside comes back before anything else happens.
    CConversionRun::RecoverSetAside(m_doc);
    m_run.Reset();
    if (m_doc.GetRowCount() == 0)
    {
        AfxMessageBox(IDS_NO_CONTENT);
        AfxMessageBox(IDS_OUTPUT_FAILED);
        return;
    }
    const int answer = AfxMessageBox(
        FormatString(IDS_OUTPUT_ALL_LANGUAGES, {ShortName(m_doc.GetDisplayLanguage())}),
        MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return;

    // While the run serves events, nothing may change the table under it; a termination
    // request cancels it like the Cancel button. The converter's waits are the operation's.
    // The guard ends the run's pointers into this dialog and operation on every way out.
    CLongOperation operation;
    auto progress = std::make_unique<CProgressDlg>();
    const auto guard = qScopeGuard(
        [this]
        {
            m_progress = nullptr;
            m_run.SetProgress(nullptr);
            m_run.SetWaitSource({});
        });
    progress->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    progress->m_nCaptionID = IDS_OUTPUTTING;
    progress->Create(m_owner);
    m_progress = progress.get();
    m_run.SetProgress(m_progress);
    m_run.SetWaitSource([&operation](std::function<void()> step, int sliceMs)
                        { return operation.Wait(std::move(step), sliceMs); });
    operation.SetCancelHandler([this] { Cancel(); });
    operation.SetCancelTest([this] { return CancelRequested(); });
    SetLabel(Strings::Load(IDS_OUTPUTTING_CONTENT));
    progress->repaint();

    const CConversionRun::Outcome outcome = m_run.Run(answer == IDYES, folders, ConverterLogPath());

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
    if (!outcome.converted)
    {
        const QString where = outcome.stoppedAt >= 0 ? ShortName(outcome.stoppedAt)
                                                     : Strings::Load(IDS_CONVERSION_ERROR);
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
