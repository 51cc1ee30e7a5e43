#include "TOVKContEdit/ui/Output.h"

#include "TOVKContEdit/model/ContentValidation.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/shared/ProgressPump.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/ProgressDlg.h"
#include "platform/ChildProcess.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <memory>

namespace
{
QString ShortName(int language)
{
    return Strings::Load(IDS_LANGUAGE_NAME_FIRST + static_cast<unsigned>(language));
}

// The converter looks files up by exact name: give it the name the file system has.
QString ResolvedIfExists(const QString& path)
{
    return !path.isEmpty() && Path::FileExists(path) ? Path::Resolve(path) : path;
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

// Waits up to ms for the child to end, handling events all the while; true when it ended.
bool WaitSlice(ChildProcess& process, int ms)
{
    QElapsedTimer timer;
    timer.start();
    for (;;)
    {
        const qint64 left = ms - timer.elapsed();
        if (process.WaitFor(static_cast<int>(qBound<qint64>(qint64(0), left, qint64(20)))))
            return true;
        ProgressPump::PumpMessages();
        if (timer.elapsed() >= ms)
            return !process.IsRunning();
    }
}
} // namespace

CContentOutput::CContentOutput(CTOVKContEditDoc& doc, std::function<OutputFolders()> folders)
    : m_doc(doc), m_folders(std::move(folders))
{
}

void CContentOutput::SetOwner(QWidget* owner, CMainFrame* frame)
{
    m_owner = owner;
    m_frame = frame;
}

QString CContentOutput::LanguageCode(int language)
{
    static const char* const codes[] = {"jp", "en", "fr", "ge", "it", "sp", "cn", "kr", "du"};
    return language >= 0 && language < 9 ? QString::fromLatin1(codes[language]) : QString();
}

bool CContentOutput::OnUpdateFileOutput() const
{
    return m_doc.GetRowCount() > 0;
}

bool CContentOutput::EnsureFolder(const QString& path)
{
    if (Path::IsDirectory(path))
        return true;
    return !path.isEmpty() && QDir().mkdir(Path::Resolve(path));
}

void CContentOutput::DeleteBinFiles(const QString& folder)
{
    const QString resolved = Path::Resolve(folder);
    for (const QString& name : Path::Find(resolved, QStringLiteral("*.bin"), Path::FindFilesOnly))
    {
        if (Path::FindExtension(name).toLower() == QStringLiteral(".bin"))
            QFile::remove(Path::Append(resolved, name));
    }
}

QString CContentOutput::OutputFolder(int language) const
{
    QString folder = Path::Append(m_run.convertFolder, QStringLiteral("output"));
    folder = Path::Append(folder, QStringLiteral("contents"));
    return Path::Append(folder, LanguageCode(language));
}

bool CContentOutput::PrepareOutputFolder(int language, QString* out)
{
    QString folder = Path::Append(m_run.convertFolder, QStringLiteral("output"));
    if (!EnsureFolder(folder))
        return false;
    folder = Path::Append(folder, QStringLiteral("contents"));
    if (!EnsureFolder(folder))
        return false;
    folder = Path::Append(folder, LanguageCode(language));
    if (!EnsureFolder(folder))
        return false;
    DeleteBinFiles(folder);
    if (out)
        *out = Path::Resolve(folder);
    return true;
}

void CContentOutput::PrepareAllOutputFolders()
{
    for (int language = 0; language < 9; ++language)
        PrepareOutputFolder(language, nullptr);
}

QString CContentOutput::ConverterLogPath()
{
    // Without a private temporary folder there is no log rather than one in a shared place.
    const QString folder = TempFolder();
    return folder.isEmpty() ? QString() : Path::Append(folder, QStringLiteral("marvex.log"));
}

QString CContentOutput::ConverterInputPath(int language) const
{
    const QString title = Path::RemoveExtension(Path::FindFileName(m_doc.GetPathName()));
    return Path::Append(Path::Resolve(OutputFolder(language)),
                        title + u'_' + LanguageCode(language) + QStringLiteral(".xml"));
}

CommandLine CContentOutput::ConverterCommandLine(const QString& inputPath,
                                                 const QString& outputFolder) const
{
    return CommandLine(
        Path::Append(m_run.startFolder, Path::ExecutableName(QStringLiteral("marvex"))),
        {QStringLiteral("-i"), inputPath, QStringLiteral("-opath"), outputFolder,
         QStringLiteral("-binpath"), m_run.toolFolder});
}

std::array<bool, 9> CContentOutput::ContentLanguages() const
{
    std::array<bool, 9> chosen{};
    int found = 0;
    for (int row = 0; row < m_doc.GetRowCount() && found < 9; ++row)
    {
        const ContentRow& content = m_doc.GetRow(row);
        for (int language = 0; language < 9; ++language)
        {
            if (!chosen[language] && content.HasContent(language))
            {
                chosen[language] = true;
                ++found;
            }
        }
    }
    return chosen;
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

bool CContentOutput::ConvertLanguage(const QString& logPath, int language)
{
    QString folder;
    if (!PrepareOutputFolder(language, &folder))
        return false;

    ContentRecords& records = m_doc.GetRecords();
    records.clear();
    for (int row = 0; row < m_doc.GetRowCount(); ++row)
    {
        const ContentRow& content = m_doc.GetRow(row);
        if (content.voice[language].isEmpty() || content.description[language].isEmpty())
            continue;
        ContentRecord record;
        record.nLangType = language;
        record.nProductNo = content.itemNumber;
        record.nProductImgCnt = (content.image1[language].isEmpty() ? 0 : 1) +
                                (content.image2[language].isEmpty() ? 0 : 1);
        record.strProductImg1 = ResolvedIfExists(content.image1[language]);
        record.strProductImg2 = ResolvedIfExists(content.image2[language]);
        record.strProductWav = ResolvedIfExists(content.voice[language]);
        record.strProductTxt = content.description[language];
        record.strProductCmt = content.comment;
        records.push_back(std::move(record));
    }
    ProgressStep();

    const QString input = ConverterInputPath(language);
    if (!m_doc.GetXmlFile().Save(input, records))
    {
        ProgressStep();
        return false;
    }

    ChildProcess process;
    // The log is made anew for each language; without it the converter runs unredirected.
    {
        QFile log(logPath);
        if (!logPath.isEmpty() && log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        {
            log.close();
            process.SetStandardOutputFile(logPath);
        }
    }
    bool started = process.Start(ConverterCommandLine(input, folder), m_run.convertFolder, true);
    if (!started)
    {
        AfxMessageBox(IDS_CONVERSION_ERROR);
    }
    else
    {
        int position = 0;
        bool ended = false;
        do
        {
            ended = WaitSlice(process, WaitSliceMs);
            if (position < 98)
                position = ProgressStep();
        } while (!ended);
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
            ReadConverterLogFile(logPath, m_report);
    }
    QFile::remove(input);
    return started;
}

void CContentOutput::OnFileOutput()
{
    m_run = m_folders ? m_folders() : OutputFolders{};
    m_report = ConverterReport{};
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

    std::array<bool, 9> chosen = ContentLanguages();
    if (!all)
        for (int language = 0; language < 9; ++language)
            chosen[language] = chosen[language] && language == display;

    // While the run pumps events, nothing may change the table under it. The guard ends
    // the busy state and the document's dialog pointer on every way out.
    struct RunGuard
    {
        CContentOutput& output;
        ~RunGuard()
        {
            output.m_doc.SetFileVerdicts(nullptr);
            output.m_doc.SetProgressDlg(nullptr);
            output.m_progress = nullptr;
            if (output.m_frame)
                output.m_frame->SetBusy(false);
        }
    };
    if (m_frame)
        m_frame->SetBusy(true);
    auto progress = std::make_unique<CProgressDlg>();
    // Each picture and voice is judged once in this run, whatever the number of languages.
    CFileVerdicts verdicts;
    const RunGuard guard{*this};
    m_doc.SetFileVerdicts(&verdicts);
    progress->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    progress->m_nCaptionID = IDS_OUTPUTTING;
    progress->Create(m_owner);
    if (progress->CancelButton())
    {
        progress->CancelButton()->setEnabled(false);
        progress->CancelButton()->hide();
    }
    m_progress = progress.get();
    m_doc.SetProgressDlg(m_progress);
    SetLabel(Strings::Load(IDS_OUTPUTTING_CONTENT));
    progress->repaint();

    const QString logPath = ConverterLogPath();
    if (all)
        PrepareAllOutputFolders();
    else
        PrepareOutputFolder(display, nullptr);

    bool succeeded = false;
    int stoppedAt = -1;
    for (int language = 0; language < 9; ++language)
    {
        if (!chosen[language])
            continue;
        SetLabel(Strings::Load(IDS_OUTPUTTING_CONTENT) + QStringLiteral(" ... ") +
                 ShortName(language));
        m_progress->SetPos(0);
        m_progress->UpdatePercent(0);
        if (!m_doc.CheckLanguage(language))
        {
            succeeded = false;
            stoppedAt = language;
            break;
        }
        ProgressStep();
        if (!ConvertLanguage(logPath, language))
        {
            succeeded = false;
            stoppedAt = language;
            break;
        }
        succeeded = true;
    }

    m_doc.SetProgressDlg(nullptr);
    m_progress = nullptr;
    progress.reset();
    if (m_frame)
        m_frame->SetBusy(false);

    if (!succeeded)
    {
        const QString where =
            stoppedAt >= 0 ? ShortName(stoppedAt) : Strings::Load(IDS_CONVERSION_ERROR);
        AfxMessageBox(Strings::Load(IDS_OUTPUT_FAILED) + QStringLiteral("\n\n") + where);
        return;
    }
    if (!m_report.logFound)
        return;
    if (m_report.aborted)
        AfxMessageBox(FormatString(IDS_OUTPUT_ABORTED, {m_report.lines}), MB_OK);
    else
        AfxMessageBox(IDS_OUTPUT_COMPLETED, MB_OK | MB_ICONINFORMATION);
}
