#include "tovkfeedbackviewer/FeedbackViewer.h"

#include "platform/ConsoleName.h"
#include "platform/FileLock.h"
#include "platform/Path.h"
#include "platform/Shell.h"
#include "tovkfeedbackviewer/AccessLog.h"
#include "tovkfeedbackviewer/Console.h"
#include "tovkfeedbackviewer/DatFile.h"
#include "tovkfeedbackviewer/ErrorType.h"
#include "tovkfeedbackviewer/FeedbackCommandLine.h"
#include "tovkfeedbackviewer/Questionnaire.h"
#include "tovkfeedbackviewer/ReportFile.h"
#include "tovkfeedbackviewer/Resource.h"
#include "tovkfeedbackviewer/Templates.h"

#include <QDir>
#include <QLocale>

namespace
{
const char* const kUsage[] = {
    "\n",
    "-------------------------------------------------------------\n",
    "Usage : TOVKFeedbackViewer.exe -in inFolder -out outFolder\n",
    "\n",
    "  Options:\n",
    "\n",
    "   -in: input folder\n",
    "   -out : output folder\n",
    "\n",
};

void PrintUsage()
{
    for (const char* line : kUsage)
        Console::Out(QString::fromLatin1(line));
}

void MakeFolderOrThrow(const QString& path)
{
    MakeDirectory(path);
    if (!Path::IsDirectory(path))
        throw ErrWrite;
}

void ScanFolders(const QString& appFolder, const QString& pattern)
{
    // Folders are entered by the bytes they were listed with: a card copied from another
    // system may carry names that are no valid text here.
    const Path::FolderReader app(appFolder);
    for (const Path::Entry& entry : app.Find(pattern, Path::FindFoldersOnly))
        ScanDatFolder(Path::FolderReader(app, entry));
}

void ReportError(int error)
{
    if (error == ErrInUse)
        return;
    unsigned message = IDS_CONVERSION_ERROR;
    switch (error)
    {
    case ErrNoInput:
    case ErrNoData:
        message = IDS_NO_DATA;
        break;
    case ErrWrite:
        message = IDS_WRITE_ERROR;
        break;
    default:
        break;
    }
    Console::Err(LoadViewerString(message) + u'\n');
    if (error < ErrNoInput || error > ErrRead)
        PrintUsage();
}

// Holds the report folder for the run: a second viewer on it would write the same files.
// The kernel drops the lock with the process, however it ends.
void HoldFolder(FileLock& lock, const QString& outFolder)
{
    // In the folder as it exists, whatever letter case the command line used.
    const QString path =
        Path::Append(Path::Resolve(outFolder), QStringLiteral(".TOVKFeedbackViewer.lock"));
    if (!lock.Open(path))
    {
        Console::Out(QStringLiteral("can't open %1\n").arg(ConsoleName(path)));
        throw ErrWrite;
    }
    if (!lock.TryLockExclusive())
    {
        Console::Err(LoadViewerString(IDS_FOLDER_IN_USE).arg(ConsoleName(outFolder)) + u'\n');
        throw ErrInUse;
    }
}

// False when the run ends at once with the usage (asked for).
bool Run(const QStringList& arguments, FileLock& lock)
{
    CFeedbackCommandLine commandLine;
    commandLine.Parse(arguments);
    if (commandLine.IsHelp())
        return false;
    if (!commandLine.UnknownOption().isEmpty())
    {
        Console::Err(
            LoadViewerString(IDS_UNKNOWN_OPTION).arg(ConsoleName(commandLine.UnknownOption())) +
            u'\n');
        throw ErrArgument;
    }
    if (!commandLine.IsValid())
        throw ErrArgument;
    // Arguments and input are checked before anything is made.
    const QString inFolder = commandLine.GetInFolder();
    const QString outFolder = Path::ToNative(commandLine.GetOutFolder());
    if (!Path::IsDirectory(inFolder))
        throw ErrNoInput;
    const QString appFolder =
        Path::Resolve(Path::Append(inFolder, QStringLiteral("private/kp/app/6D2E7A10")));
    if (!Path::IsDirectory(appFolder))
        throw ErrNoData;

    MakeFolderOrThrow(outFolder);
    HoldFolder(lock, outFolder);
    CReportFile::SetReportFolder(outFolder);
    const QString dataFolder = Path::Append(outFolder, QStringLiteral("Data"));
    MakeFolderOrThrow(dataFolder);

    ScanFolders(appFolder, QStringLiteral("ENQ*"));
    ScanFolders(appFolder, QStringLiteral("LOG*"));

    const QString prefix = Path::Append(dataFolder, QStringLiteral("ENQ_"));
    int written = g_questionnaires.WriteAllEnqXml(prefix);
    written += g_questionnaires.WriteAllEnqCsv(prefix);
    written += g_accessLog.WriteLogXml(Path::Append(dataFolder, QStringLiteral("LOG.xml"))) ? 1 : 0;
    written += g_accessLog.WriteLogCsv(Path::Append(dataFolder, QStringLiteral("LOG.csv"))) ? 1 : 0;
    if (written == 0)
        throw ErrNoData;

    WriteTemplates(dataFolder);
    const int count = static_cast<int>(g_questionnaires.Count());
    const QString indexJp = Path::Append(outFolder, QStringLiteral("index_jp.html"));
    const QString indexEn = Path::Append(outFolder, QStringLiteral("index_en.html"));
    WriteIndexJp(indexJp, count);
    WriteIndexEn(indexEn, count);

    // Whether a browser shows the page changes nothing of the run.
    const QString index = QLocale().language() == QLocale::Japanese ? indexJp : indexEn;
    Shell::OpenDetached(QDir(index).absolutePath());
    return true;
}
} // namespace

void MakeDirectory(const QString& path)
{
    CreateDirectoryTree(Path::ToNative(path));
}

void CreateDirectoryTree(const QString& path)
{
    if (Path::FileExists(path))
        return;
    const QString parent = Path::RemoveFileSpec(Path::RemoveBackslash(path));
    if (!parent.isEmpty() && parent != path)
        CreateDirectoryTree(parent);
    Console::Out(QStringLiteral("Create %1\n").arg(ConsoleName(path)));
    if (!Path::CreateDirectory(path))
        throw ErrWrite;
}

void ScanDatFolder(const Path::FolderReader& folder)
{
    for (const Path::Entry& entry : folder.Find(QStringLiteral("*.DAT"), Path::FindFilesOnly))
    {
        CDatFileImage& image = g_datFiles.Get(folder, entry);
        if (IsValidDatFile(image.Data(), image.Size()))
        {
            ExtractEnqRecords(image);
            ExtractLogRecords(image);
        }
        // The merges keep copies of what they use.
        image.Free();
    }
}

int FeedbackViewerMain(const QStringList& arguments)
{
    // Nothing is carried over from an earlier run in the same process.
    g_questionnaires.Clear();
    g_accessLog.Clear();
    g_datFiles.Clear();
    int result = 0;
    FileLock lock;
    try
    {
        if (!Run(arguments, lock))
            PrintUsage();
    }
    catch (EErrorType error)
    {
        ReportError(error);
        result = 1;
    }
    g_datFiles.FreeDatFiles();
    return result;
}
