#include "tovkfeedbackviewer/FeedbackViewer.h"

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
    {
        for (const char* line : kUsage)
            Console::Out(QString::fromLatin1(line));
    }
}

void Run(const QStringList& arguments)
{
    CFeedbackCommandLine commandLine;
    commandLine.Parse(arguments);
    if (!commandLine.IsValid())
        throw ErrArgument;
    const QString inFolder = commandLine.GetInFolder();
    const QString outFolder = Path::ToNative(commandLine.GetOutFolder());
    if (!Path::IsDirectory(inFolder))
        throw ErrNoInput;
    MakeFolderOrThrow(outFolder);
    CReportFile::SetReportFolder(outFolder);
    const QString dataFolder = Path::Append(outFolder, QStringLiteral("Data"));
    MakeFolderOrThrow(dataFolder);

    const QString appFolder =
        Path::Resolve(Path::Append(inFolder, QStringLiteral("private/kp/app/6D2E7A10")));
    if (!Path::IsDirectory(appFolder))
        throw ErrNoData;
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
    Console::Out(QStringLiteral("Create %1\n").arg(path));
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
    try
    {
        Run(arguments);
    }
    catch (EErrorType error)
    {
        ReportError(error);
        result = 1;
    }
    g_datFiles.FreeDatFiles();
    return result;
}
