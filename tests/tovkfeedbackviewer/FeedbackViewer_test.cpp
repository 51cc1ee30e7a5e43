// The viewer's run from the command line to the index page, on card copies built in code.
#include "DatFixture.h"
#include "ReportText.h"
#include "common/TestSupport.h"
#include "platform/ConsoleName.h"
#include "platform/Path.h"
#include "platform/Shell.h"
#include "tovkfeedbackviewer/Console.h"
#include "tovkfeedbackviewer/FeedbackCommandLine.h"
#include "tovkfeedbackviewer/FeedbackViewer.h"
#include "tovkfeedbackviewer/Templates.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace DatFixture;

namespace
{
struct RunResult
{
    int exitCode;
    QString out;
    QString err;
    QStringList opened;
};

RunResult RunViewer(const QStringList& options)
{
    Console::Capture capture;
    RecordingShell shell;
    const int exitCode =
        FeedbackViewerMain(QStringList{QStringLiteral("TOVKFeedbackViewer")} + options);
    return {exitCode, capture.out, capture.err, shell.opened};
}

const QString kUsage =
    QStringLiteral("\n"
                   "-------------------------------------------------------------\n"
                   "Usage : TOVKFeedbackViewer.exe -in inFolder -out outFolder\n"
                   "\n"
                   "  Options:\n"
                   "\n"
                   "   -in: input folder\n"
                   "   -out : output folder\n"
                   "\n");

QByteArray EnqFile(const QByteArray& area, int minute)
{
    return DatFile(
        area, {Answer(PackTime(2024, 5, 5, 10, minute, 0), 0, Mac({1, 2, 3, 4, 5, 6}), {1, 2})});
}

QByteArray LogFile()
{
    return DatFile(SampleLogArea(),
                   {Access(PackTime(2024, 5, 5, 11, 0, 0), 1, 2, Mac({9, 9, 9, 9, 9, 9}))});
}

// Runs in a fresh current folder and puts the old one back.
class CurrentFolder
{
public:
    explicit CurrentFolder(const QString& folder) : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(folder);
    }
    ~CurrentFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};
} // namespace

TEST(FeedbackCommandLine, OptionTable)
{
    struct Case
    {
        QStringList arguments;
        bool valid;
        QString in;
        QString out;
    };
    const std::vector<Case> cases = {
        {{}, true, ".", "html"},
        {{"-in", "card", "-out", "reports"}, true, "card", "reports"},
        {{"-out", "reports", "-in"}, true, ".", "reports"},
        {{"-in", "card", "-out", ""}, false, "card", ""},
        {{"-IN", "card"}, true, ".", "html"},
        {{"-in", "-out", "x"}, true, "-out", "x"},
        {{"-in", "first", "-in", "second"}, true, "first", "html"},
        {{"stray", "-out", "o", "more"}, true, ".", "o"},
        {{"-in", ""}, false, "", "html"},
    };
    for (const Case& c : cases)
    {
        CFeedbackCommandLine commandLine;
        commandLine.Parse(QStringList{"TOVKFeedbackViewer"} + c.arguments);
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_EQ(commandLine.IsValid(), c.valid) << name;
        EXPECT_EQ(commandLine.GetInFolder(), c.in) << name;
        EXPECT_EQ(commandLine.GetOutFolder(), c.out) << name;
    }
}

TEST(FeedbackFlow, InvalidOptionsPrintTheMessageAndTheUsage)
{
    const QString folder = TestSupport::NewFolder();
    const RunResult result = RunViewer({"-out", ""});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Conversion error\n");
    EXPECT_EQ(result.out, kUsage);
}

TEST(FeedbackFlow, NoArgumentsUseTheCurrentFolderAndHtml)
{
    const QString card = TestSupport::NewFolder();
    WriteCardFile(card, "LOG1/B.DAT", LogFile());
    CurrentFolder current(card);
    const RunResult result = RunViewer({});
    EXPECT_EQ(result.out, "Create html\nCreate html/Data\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(QFileInfo(card + "/html/Data/LOG.xml").isFile());
}

TEST(FeedbackFlow, FolderErrors)
{
    const QString folder = TestSupport::NewFolder();
    TestSupport::WriteFile(folder + "/file", "x");
    // A card copy whose application folder holds nothing yet.
    const QString card = folder + "/card";
    QDir().mkpath(AppFolder(card));
    struct Case
    {
        const char* name;
        QStringList options;
        QString err;
        QString out;
    };
    const std::vector<Case> cases = {
        {"input is not a folder",
         {"-in", folder + "/none", "-out", folder + "/o1"},
         "There is no data.\n",
         ""},
        {"input is a file",
         {"-in", folder + "/file", "-out", folder + "/o1"},
         "There is no data.\n",
         ""},
        {"output names a file", {"-in", card, "-out", folder + "/file"}, "Write error.\n", ""},
        {"output below a file",
         {"-in", card, "-out", folder + "/file/sub"},
         "Write error.\n",
         "Create " + folder + "/file/sub\n"},
        // The input is checked before anything is made.
        {"card without the application folder",
         {"-in", folder, "-out", folder + "/o2"},
         "There is no data.\n",
         ""},
        {"application folder without data",
         {"-in", card, "-out", folder + "/o3"},
         "There is no data.\n",
         "Create " + folder + "/o3\nCreate " + folder + "/o3/Data\n"},
    };
    for (const Case& c : cases)
    {
        const RunResult result = RunViewer(c.options);
        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_EQ(result.err, c.err) << c.name;
        EXPECT_EQ(result.out, c.out) << c.name;
        EXPECT_TRUE(result.opened.isEmpty()) << c.name;
    }
    EXPECT_FALSE(QFileInfo::exists(folder + "/o1"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/o2"));
}

TEST(FeedbackFlow, BackslashesInTheOutputPathMakeNestedFolders)
{
    const QString folder = TestSupport::NewFolder();
    WriteCardFile(folder, "LOG1/B.DAT", LogFile());
    const RunResult result = RunViewer({"-in", folder, "-out", folder + "\\a\\b"});
    EXPECT_TRUE(result.out.startsWith("Create " + folder + "/a\nCreate " + folder +
                                      "/a/b\nCreate " + folder + "/a/b/Data\n"))
        << result.out.toStdString();
    EXPECT_TRUE(QFileInfo(folder + "/a/b/Data").isDir());
}

TEST(FeedbackFlow, OnlyInvalidFilesGiveNoDataAndNoPages)
{
    const QString card = TestSupport::NewFolder();
    QByteArray broken = LogFile();
    broken[0x30] = static_cast<char>(broken[0x30] ^ 1);
    WriteCardFile(card, "ENQ001/A.DAT", QByteArray(100, '\0'));
    WriteCardFile(card, "LOG001/B.DAT", broken);
    WriteCardFile(card, "LOG001/C.DAT", QByteArray());
    // A log file without any access record writes no report either.
    WriteCardFile(card, "LOG002/D.DAT", DatFile(SampleLogArea(), {}));
    const RunResult result = RunViewer({"-in", card, "-out", card + "/out"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "There is no data.\n");
    EXPECT_EQ(QDir(card + "/out/Data").entryList(QDir::Files), QStringList());
    EXPECT_EQ(QDir(card + "/out").entryList(QDir::Files), QStringList());
}

TEST(FeedbackFlow, FullRunWritesReportsPagesAndOpensTheIndex)
{
    const QString card = TestSupport::NewFolder();
    const QByteArray first = SampleQuestionnaireArea();
    const QByteArray second =
        QuestionnaireArea({{1, {{false, QStringLiteral("Other?"), {QStringLiteral("Yes")}}}}});
    // Folder and file names in other letter cases are found; a LOG folder holding a
    // questionnaire file still feeds the questionnaire report.
    WriteCardFile(card, "ENQ_b/x1.dat", EnqFile(first, 1));
    WriteCardFile(card, "enq_a/X2.DAT", EnqFile(second, 2));
    WriteCardFile(card, "LOG01/L1.DAT", LogFile());
    WriteCardFile(card, "LOG01/E3.DAT", EnqFile(first, 3));
    WriteCardFile(card, "LOG01/folder.DAT/inner.DAT", LogFile());
    WriteCardFile(card, "other/Z.DAT", EnqFile(QuestionnaireArea({{2, {}}}), 4));

    QLocale::setDefault(QLocale(QLocale::English));
    const QString out = card + "/out";
    const RunResult result = RunViewer({"-in", card, "-out", out});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Create " + out + "\nCreate " + out + "/Data\n");
    EXPECT_EQ(result.opened, QStringList{QDir(out + "/index_en.html").absolutePath()});

    const QStringList expected = {"ENQ_00.csv",
                                  "ENQ_00.xml",
                                  "ENQ_00.xml.js",
                                  "ENQ_01.csv",
                                  "ENQ_01.xml",
                                  "ENQ_01.xml.js",
                                  "LOG.csv",
                                  "LOG.xml",
                                  "LOG.xml.js",
                                  "enq.html",
                                  "enq.xsl",
                                  "log.html",
                                  "log.xsl",
                                  "style.css",
                                  "tovk_common.xsl",
                                  "tovk_define.xml",
                                  "tovk_define.xml.js",
                                  "tovk_view.js"};
    EXPECT_EQ(QDir(out + "/Data").entryList(QDir::Files, QDir::Name), expected);
    // Folders in name order ignoring case: enq_a before ENQ_b.
    EXPECT_TRUE(ReportText::Read(out + "/Data/ENQ_00.xml").contains("<query>Other?</query>"));
    const QString enq01 = ReportText::Read(out + "/Data/ENQ_01.xml");
    EXPECT_TRUE(enq01.contains("<table_data no=\"2\">"))
        << "the file of the LOG folder added its answer";
    EXPECT_FALSE(enq01.contains("<table_data no=\"3\">"));
    EXPECT_TRUE(ReportText::Read(out + "/Data/LOG.xml").contains("<table_data no=\"1\">"));
    EXPECT_FALSE(ReportText::Read(out + "/Data/LOG.xml").contains("<table_data no=\"2\">"))
        << "a folder named like a file is not read";

    for (const unsigned id : {IDR_DEFINE_XML, IDR_COMMON_XSL, IDR_LOG_HTML, IDR_LOG_XSL,
                              IDR_ENQ_HTML, IDR_ENQ_XSL, IDR_STYLE_CSS, IDR_VIEW_JS})
    {
        const QString name = TemplateFileName(id);
        EXPECT_FALSE(TemplateBytes(id).isEmpty()) << name.toStdString();
        EXPECT_EQ(TestSupport::ReadFile(out + "/Data/" + name), TemplateBytes(id))
            << name.toStdString();
    }

    // A second run rewrites the templates and opens the Japanese page under a Japanese locale.
    TestSupport::WriteFile(out + "/Data/enq.xsl", "changed");
    QLocale::setDefault(QLocale(QLocale::Japanese));
    const RunResult again = RunViewer({"-in", card, "-out", out});
    QLocale::setDefault(QLocale(QLocale::English));
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(again.opened, QStringList{QDir(out + "/index_jp.html").absolutePath()});
    EXPECT_EQ(TestSupport::ReadFile(out + "/Data/enq.xsl"), TemplateBytes(IDR_ENQ_XSL));
}

TEST(FeedbackFlow, NamesThatAreNoValidTextAreReadByTheirBytes)
{
    // A card copied from a system that writes Latin-1 names: the folder "ENQ\xe9" holds two
    // files whose names are no text ("A\xfe.DAT", "A\xff.DAT").
    const QString card = TestSupport::NewFolder();
    QDir().mkpath(AppFolder(card));
    const QByteArray app = QFile::encodeName(AppFolder(card));
    const QByteArray enq = app + "/ENQ\xe9";
    const QByteArray log = app + "/LOG\xff";
    ASSERT_EQ(mkdir(enq.constData(), 0700), 0);
    ASSERT_EQ(mkdir(log.constData(), 0700), 0);
    ASSERT_TRUE(
        TestSupport::WriteNativeFile(enq + "/A\xfe.DAT", EnqFile(SampleQuestionnaireArea(), 1)));
    ASSERT_TRUE(
        TestSupport::WriteNativeFile(enq + "/A\xff.DAT", EnqFile(SampleQuestionnaireArea(), 2)));
    ASSERT_TRUE(TestSupport::WriteNativeFile(log + "/\xe9t\xe9.DAT", LogFile()));

    const QString out = card + "/out";
    const RunResult result = RunViewer({"-in", card, "-out", out});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QString answers = ReportText::Read(out + "/Data/ENQ_00.xml");
    EXPECT_TRUE(answers.contains("<table_data no=\"1\">"));
    EXPECT_TRUE(answers.contains("<table_data no=\"2\">")) << "both files, each by its own bytes";
    EXPECT_TRUE(ReportText::Read(out + "/Data/LOG.xml").contains("<table_data no=\"1\">"));
}

TEST(FeedbackFlow, TheApplicationFolderIsFoundInAnyLetterCase)
{
    // A card copied from its own file system may carry the folder names in capitals.
    const QString card = TestSupport::NewFolder();
    TestSupport::WriteFile(card + "/PRIVATE/KP/APP/6d2e7a10/Enq01/A.DAT",
                           EnqFile(SampleQuestionnaireArea(), 1));
    const QString out = card + "/out";
    const RunResult result = RunViewer({"-in", card, "-out", out});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(ReportText::Read(out + "/Data/ENQ_00.xml").contains("<table_data no=\"1\">"));
}

TEST(FeedbackFlow, AnExistingOutputFolderIsFoundInAnyLetterCase)
{
    const QString card = TestSupport::NewFolder();
    WriteCardFile(card, "LOG1/B.DAT", LogFile());
    QDir().mkpath(card + "/Reports/Data");
    const RunResult result = RunViewer({"-in", card, "-out", card + "/REPORTS"});
    EXPECT_EQ(result.exitCode, 0) << result.out.toStdString() << result.err.toStdString();
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(QFileInfo(card + "/Reports/index_en.html").isFile());
    EXPECT_TRUE(QFileInfo(card + "/Reports/Data/LOG.xml").isFile());
}

TEST(FeedbackFlow, AnOutputFileThatCannotBeCreatedIsAWriteError)
{
    // A folder in the place of an output file: the report, template or index page cannot be
    // created, the run stops there at once with its line and "Write error.". A pipe or a
    // link (to a device) at the name is replaced like any old report, never opened.
    enum Blocker
    {
        Folder,
        Pipe,
        Device,
    };
    const struct
    {
        const char* blocked;
        Blocker by;
    } cases[] = {
        {"Data/ENQ_00.xml", Folder}, {"Data/LOG.csv", Folder},  {"Data/ENQ_00.xml.js", Folder},
        {"Data/style.css", Folder},  {"index_jp.html", Folder}, {"Data/LOG.csv", Pipe},
        {"Data/ENQ_00.csv", Pipe},   {"Data/LOG.xml", Device},
    };
    for (const auto& [blocked, by] : cases)
    {
        const QString card = TestSupport::NewFolder();
        WriteCardFile(card, "ENQ1/A.DAT", EnqFile(SampleQuestionnaireArea(), 1));
        WriteCardFile(card, "LOG1/B.DAT", LogFile());
        const QString out = card + "/out";
        QDir().mkpath(out + "/Data");
        const QString path = out + "/" + blocked;
        if (by == Folder)
            QDir().mkpath(path);
        else if (by == Pipe)
            ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            ASSERT_TRUE(QFile::link("/dev/null", path));
        const RunResult result = RunViewer({"-in", card, "-out", out});
        if (by == Folder)
        {
            EXPECT_EQ(result.exitCode, 1) << blocked;
            EXPECT_EQ(result.out, "can't open " + out + "/" + blocked + "\n") << blocked;
            EXPECT_EQ(result.err, "Write error.\n") << blocked;
            EXPECT_TRUE(result.opened.isEmpty());
            EXPECT_FALSE(QFileInfo::exists(out + "/index_en.html")) << blocked;
            continue;
        }
        EXPECT_EQ(result.exitCode, 0) << blocked << result.err.toStdString();
        const QFileInfo replaced(path);
        EXPECT_TRUE(replaced.isFile() && !replaced.isSymLink()) << blocked;
        EXPECT_GT(replaced.size(), 0) << blocked;
        EXPECT_TRUE(QFileInfo("/dev/null").exists());
    }
}

TEST(FeedbackFlow, APipeOrALinkAtAReportsNameIsReplacedNeverWrittenThrough)
{
    const QString outside = TestSupport::NewFolder("outside");
    const QString precious = TestSupport::WriteFile(outside + "/notes.txt", "PRECIOUS");
    enum Planted
    {
        Pipe,
        LinkToAFile,
        DanglingLink,
        LinkToADevice,
    };
    const struct
    {
        const char* name;
        Planted what;
    } cases[] = {
        {"Data/LOG.csv", Pipe},
        {"Data/ENQ_00.csv", Pipe},
        {"Data/LOG.xml", LinkToAFile},
        {"index_en.html", LinkToAFile},
        {"Data/ENQ_00.xml", DanglingLink},
        {"Data/style.css", LinkToADevice},
    };
    for (const auto& [name, what] : cases)
    {
        SCOPED_TRACE(name);
        const QString card = TestSupport::NewFolder();
        WriteCardFile(card, "ENQ1/A.DAT", EnqFile(SampleQuestionnaireArea(), 1));
        WriteCardFile(card, "LOG1/B.DAT", LogFile());
        const QString out = card + "/out";
        QDir().mkpath(out + "/Data");
        const QString path = out + "/" + name;
        const QString dangling = outside + "/made-" + QString::number(&name - &cases[0].name);
        if (what == Pipe)
            ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (what == LinkToAFile)
            ASSERT_TRUE(QFile::link(precious, path));
        else if (what == DanglingLink)
            ASSERT_TRUE(QFile::link(dangling, path));
        else
            ASSERT_TRUE(QFile::link("/dev/null", path));
        const RunResult result = RunViewer({"-in", card, "-out", out});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QFileInfo written(path);
        EXPECT_FALSE(written.isSymLink());
        EXPECT_TRUE(written.isFile());
        EXPECT_GT(written.size(), 0);
        EXPECT_EQ(TestSupport::ReadFile(precious), "PRECIOUS");
        EXPECT_FALSE(QFileInfo::exists(dangling));
        struct stat device;
        EXPECT_TRUE(stat("/dev/null", &device) == 0 && S_ISCHR(device.st_mode));
    }
}

TEST(FeedbackProgram, RunsAsAConsoleProgram)
{
    const QString card = TestSupport::NewFolder();
    WriteCardFile(card, "LOG1/B.DAT", LogFile());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(card);
    program.start(QStringLiteral(QUORVANE_APP_DIR "/TOVKFeedbackViewer"),
                  {"-in", ".", "-out", "reports"});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.readAllStandardOutput(), "Create reports\nCreate reports/Data\n");
    EXPECT_TRUE(QFileInfo::exists(card + "/reports/Data/LOG.xml"));
    EXPECT_TRUE(QFileInfo::exists(card + "/reports/index_en.html"));

    program.start(QStringLiteral(QUORVANE_APP_DIR "/TOVKFeedbackViewer"), {"-in", "."});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << "the default output folder \"html\"";
    EXPECT_TRUE(QFileInfo::exists(card + "/html/index_jp.html"));

    program.start(QStringLiteral(QUORVANE_APP_DIR "/TOVKFeedbackViewer"), {"-in", "missing"});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_EQ(program.readAllStandardError(), "There is no data.\n");
}

// Folders given as bytes that are no text in the locale are found and made as they stand.
TEST(FeedbackProgram, CommandLinePathsAreTakenAsTheirBytes)
{
    struct Case
    {
        const char* locale;
        QByteArray card; // the input folder, below the test's folder
        QByteArray out;  // the output folder, made by the run
    };
    const Case cases[] = {
        {"C.UTF-8", "card\xff\xfe", "r\xe9ports/x"},
        {"C", "card\xff\xfe", "r\xe9ports/x"},
        {"C.UTF-8", "\xe9", "\xff"},
    };
    const QByteArray program = QUORVANE_APP_DIR "/TOVKFeedbackViewer";
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.locale) + " " + c.card.toHex().toStdString());
        const QByteArray base = QFile::encodeName(TestSupport::NewFolder(QStringLiteral("bytes")));
        const QByteArray logFolder = base + '/' + c.card + "/private/kp/app/6D2E7A10/LOG1";
        for (qsizetype at = logFolder.indexOf('/', base.size() + 1); at > 0;
             at = logFolder.indexOf('/', at + 1))
            ASSERT_EQ(mkdir(logFolder.left(at).constData(), 0700), 0);
        ASSERT_EQ(mkdir(logFolder.constData(), 0700), 0);
        ASSERT_TRUE(TestSupport::WriteNativeFile(logFolder + "/B.DAT", LogFile()));
        const QByteArray out = base + '/' + c.out;

        const TestSupport::NativeRun run = TestSupport::RunWithBytes(
            program, {"-in", base + '/' + c.card, "-out", out}, base, c.locale);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        // The lines show the bytes that are no text as escapes.
        const auto shown = [](const QByteArray& path)
        { return Path::EncodeName(ConsoleName(Path::DecodeName(path))); };
        QByteArray created;
        for (qsizetype at = c.out.indexOf('/'); at >= 0; at = c.out.indexOf('/', at + 1))
            created += "Create " + shown(base + '/' + c.out.left(at)) + '\n';
        EXPECT_EQ(run.out, created + "Create " + shown(out) + "\nCreate " + shown(out) + "/Data\n");
        EXPECT_TRUE(run.out.contains("\\351") || run.out.contains("\\377"));
        EXPECT_FALSE(TestSupport::ReadNativeFile(out + "/Data/LOG.xml").isEmpty());
        EXPECT_FALSE(TestSupport::ReadNativeFile(out + "/Data/log.html").isEmpty());
        EXPECT_FALSE(TestSupport::ReadNativeFile(out + "/index_en.html").isEmpty());
        TestSupport::RemoveNativeTree(base);
    }
}

TEST(FeedbackProgram, OpensTheIndexPageOnlyWhenADesktopSessionAnswers)
{
    const QString card = TestSupport::NewFolder();
    WriteCardFile(card, "LOG1/B.DAT", LogFile());
    // A stand-in for the desktop's opener that notes what it was given.
    const QString bin = TestSupport::NewFolder("bin");
    const QString noted = bin + "/opened.txt";
    const QString opener = TestSupport::WriteFile(
        bin + "/xdg-open", ("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + noted + "'\n").toUtf8());
    QFile::setPermissions(opener, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    // A listening socket stands for a live Wayland session.
    const QString socketPath = TestSupport::NewFolder("session") + "/wayland-0";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(socketPath).constData(),
                 sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);

    struct Case
    {
        const char* name;
        const char* display;
        QString wayland;
        bool opens;
    };
    const Case cases[] = {
        // An ssh session whose tunnel is gone, sudo keeping the variable: nothing answers.
        {"dead X display", ":4093", QString(), false},
        {"dead Wayland display", nullptr, socketPath + "-gone", false},
        {"live Wayland session", ":4093", socketPath, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        QFile::remove(noted);
        const QString out = card + "/out-" + QString::number(&c - cases);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", bin + ":" + environment.value("PATH"));
        environment.insert("LC_ALL", "C.UTF-8");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        if (c.display)
            environment.insert("DISPLAY", c.display);
        if (!c.wayland.isEmpty())
            environment.insert("WAYLAND_DISPLAY", c.wayland);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUORVANE_APP_DIR "/TOVKFeedbackViewer"),
                      {"-in", card, "-out", out});
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        EXPECT_EQ(program.readAllStandardOutput(),
                  ("Create " + out + "\nCreate " + out + "/Data\n").toUtf8());
        EXPECT_TRUE(QFileInfo::exists(out + "/Data/LOG.xml"));
        EXPECT_TRUE(QFileInfo::exists(out + "/index_en.html"));
        // The opener runs on its own: give it time to note its argument.
        for (int waited = 0; c.opens && !QFileInfo::exists(noted) && waited < 100; ++waited)
            QThread::msleep(100);
        QFile file(noted);
        if (c.opens && file.open(QIODevice::ReadOnly))
        {
            EXPECT_EQ(file.readAll(),
                      QUrl::fromLocalFile(out + "/index_en.html").toEncoded() + "\n");
        }
        EXPECT_EQ(QFileInfo::exists(noted), c.opens);
    }
    ::close(listener);
}

TEST(IndexPages, RowsForTwoQuestionnaires)
{
    const QString folder = TestSupport::NewFolder();
    ASSERT_TRUE(WriteIndexJp(folder + "/index_jp.html", 2));
    ASSERT_TRUE(WriteIndexEn(folder + "/index_en.html", 2));
    const auto rows = [](const QString& language, const QString& survey, const QString& results)
    {
        QString text;
        for (const char* nn : {"00", "01"})
        {
            text += "\t<tr>\r\n";
            if (QString(nn) == "00")
                text += "\t\t<th class=\"index\" rowspan=\"2\">\r\n\t\t\t" + survey +
                        "\r\n\t\t</th>\r\n";
            text += QString("\t\t<td class=\"index\">\r\n\t\t\t<a "
                            "href=\"Data/enq.html?sysLang=%1?xml=ENQ_%2.xml\">%3%2</a>\r\n"
                            "\t\t</td>\r\n\t\t<td class=\"index\">\r\n\t\t\t<a "
                            "href=\"Data/ENQ_%2.csv\">ENQ_%2.csv</a>\r\n"
                            "\t\t</td>\r\n\t</tr>\r\n")
                        .arg(language, nn, results);
        }
        return text;
    };
    const auto utf16 = [](const QString& text)
    { return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2); };
    EXPECT_EQ(TestSupport::ReadFile(folder + "/index_jp.html"),
              TemplateBytes(IDR_INDEX_JP_HEAD) +
                  utf16(rows("Japanese", "アンケート", "アンケート結果 ")) +
                  TemplateBytes(IDR_INDEX_JP_TAIL));
    EXPECT_EQ(TestSupport::ReadFile(folder + "/index_en.html"),
              TemplateBytes(IDR_INDEX_EN_HEAD) +
                  utf16(rows("English", "Survey", "Survey results ")) +
                  TemplateBytes(IDR_INDEX_EN_TAIL));
}

TEST(IndexPages, TheHalvesSayWhatThePagesShow)
{
    // Each half written out line by line from the pages' description: the marked texts
    // differ between the languages, nothing else does.
    struct Case
    {
        unsigned head;
        unsigned tail;
        const char* lang;
        QString languageSwitch;
        QString caption;
        QString statistics;
        QString dataFile;
        QString accessLog;
        const char* sysLang;
    };
    const Case cases[] = {
        {IDR_INDEX_JP_HEAD, IDR_INDEX_JP_TAIL, "ja",
         "Japanese / <a href=\"index_en.html\"> English </a>", "収集データ", "簡易集計",
         "データファイル", "アクセスログ", "Japanese"},
        {IDR_INDEX_EN_HEAD, IDR_INDEX_EN_TAIL, "en",
         "<a href=\"index_jp.html\"> Japanese </a> / English", "Collected Data", "Statistics",
         "Data file", "Access log", "English"},
    };
    const auto text = [](const QByteArray& bytes, bool bom)
    {
        const qsizetype skip = bom ? 2 : 0;
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + skip),
                                  (bytes.size() - skip) / 2);
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.lang);
        const QString head =
            QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
                           "\"http://www.w3.org/TR/html4/loose.dtd\">\r\n"
                           "<html lang=\"%1\">\r\n"
                           "<head>\r\n"
                           "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                           "charset=UTF-16\">\r\n"
                           "<title>index</title>\r\n"
                           "<link rel=\"stylesheet\" type=\"text/css\" href=\"Data/style.css\">\r\n"
                           "</head>\r\n"
                           "\r\n"
                           "<body>\r\n"
                           "<div align=\"right\">%2</div>\r\n"
                           "<table border=\"1\" cellspacing=\"0\" align=\"center\" "
                           "class=\"index\">\r\n"
                           "<caption>%3</caption>\r\n"
                           "\t<tr>\r\n"
                           "\t\t<th class=\"gray\">\u3000</th>\r\n"
                           "\t\t<th class=\"type\">%4</th>\r\n"
                           "\t\t<th class=\"type\">%5</th>\r\n"
                           "\t</tr>\r\n")
                .arg(QLatin1String(c.lang), c.languageSwitch, c.caption, c.statistics, c.dataFile);
        const QString tail =
            QStringLiteral("\t<tr>\r\n"
                           "\t\t<th class=\"index\">\r\n"
                           "\t\t\t%1\r\n"
                           "\t\t</th>\r\n"
                           "\t\t<td class=\"index\">\r\n"
                           "\t\t\t<a href=\"Data/log.html?sysLang=%2?xml=LOG.xml\">%1</a>\r\n"
                           "\t\t</td>\r\n"
                           "\t\t<td class=\"index\">\r\n"
                           "\t\t\t<a href=\"Data/LOG.csv\">LOG.csv</a>\r\n"
                           "\t\t</td>\r\n"
                           "\t</tr>\r\n"
                           "</table>\r\n"
                           "\r\n"
                           "</body>\r\n"
                           "</html>\r\n")
                .arg(c.accessLog, QLatin1String(c.sysLang));
        EXPECT_TRUE(TemplateBytes(c.head).startsWith("\xFF\xFE"));
        EXPECT_EQ(text(TemplateBytes(c.head), true), head);
        EXPECT_EQ(text(TemplateBytes(c.tail), false), tail);
    }
}

TEST(IndexPages, WithoutQuestionnairesHeadAndTailOnly)
{
    const QString folder = TestSupport::NewFolder();
    ASSERT_TRUE(WriteIndexEn(folder + "/index_en.html", 0));
    const QByteArray bytes = TestSupport::ReadFile(folder + "/index_en.html");
    EXPECT_EQ(bytes, TemplateBytes(IDR_INDEX_EN_HEAD) + TemplateBytes(IDR_INDEX_EN_TAIL));
    EXPECT_TRUE(bytes.startsWith("\xFF\xFE"));
    EXPECT_NE(bytes.mid(2).indexOf(QByteArray("\xFF\xFE", 2)) % 2, 0)
        << "exactly one byte-order mark";
    EXPECT_TRUE(bytes.endsWith(QByteArray("\r\0\n\0", 4)));
    const QString text = ReportText::Read(folder + "/index_en.html");
    EXPECT_TRUE(text.contains("Data/log.html?sysLang=English?xml=LOG.xml"));
    EXPECT_FALSE(text.contains("\n\n")) << "every line ends with CR LF";
}

TEST(Templates, EncodingsOfTheResources)
{
    for (const unsigned id : {IDR_DEFINE_XML, IDR_COMMON_XSL, IDR_LOG_HTML, IDR_LOG_XSL,
                              IDR_ENQ_HTML, IDR_ENQ_XSL, IDR_INDEX_JP_HEAD, IDR_INDEX_EN_HEAD})
        EXPECT_TRUE(TemplateBytes(id).startsWith("\xFF\xFE")) << id;
    for (const unsigned id : {IDR_INDEX_JP_TAIL, IDR_INDEX_EN_TAIL})
        EXPECT_EQ(TemplateBytes(id).left(2), QByteArray("\t\0", 2)) << id;
    EXPECT_TRUE(TemplateBytes(IDR_STYLE_CSS).startsWith("@charset"));
    EXPECT_TRUE(TemplateBytes(IDR_VIEW_JS).startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(TemplateBytes(999).isEmpty());
}

// The same program, its permissions binding it even when the tests run as root: a record
// file it may not read stops the run.
TEST(FeedbackProgram, AFileThatCannotBeOpenedStopsTheRun)
{
    const QString card = TestSupport::NewFolder();
    const QString path = WriteCardFile(card, "LOG001/A.DAT", LogFile());
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    const TestSupport::NativeRun run = TestSupport::RunWithBytes(
        QUORVANE_APP_DIR "/TOVKFeedbackViewer",
        {"-in", QFile::encodeName(card), "-out", QFile::encodeName(card + "/out")},
        QFile::encodeName(card), "C.UTF-8", TestSupport::RunAs::Unprivileged);
    if (run.exitCode == TestSupport::NotStarted)
        GTEST_SKIP() << "no user namespace can be made here";
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.endsWith("can't open " + QFile::encodeName(path) + "\n"))
        << run.out.toStdString();
    EXPECT_EQ(run.err, "Conversion error\n");
    EXPECT_FALSE(QFileInfo::exists(card + "/out/index_en.html"));
}

// Command lines as a user types them: what each prints, its exit code, and that a refused
// one makes nothing.
TEST(FeedbackProgram, CommandLines)
{
    const QByteArray usage = kUsage.toUtf8();
    struct Case
    {
        const char* name;
        QList<QByteArray> arguments; // "CARD" stands for a card copy with data
        int exitCode;
        QByteArray out;
        QByteArray err;
        QByteArray made; // the one entry the run makes in its folder, "" for none
    };
    const Case cases[] = {
        {"no arguments and no card", {}, 1, "", "There is no data.\n", ""},
        {"--help", {"--help"}, 0, usage, "", ""},
        {"-? beside valid options", {"-in", "CARD", "-?", "-out", "r"}, 0, usage, "", ""},
        {"unknown option",
         {"--version"},
         1,
         usage,
         "Unknown option: --version\nConversion error\n",
         ""},
        {"an option in another case",
         {"-IN", "CARD"},
         1,
         usage,
         "Unknown option: -IN\nConversion error\n",
         ""},
        {"unknown option holding an escape sequence",
         {"-in", "CARD", "-\x1b]0;owned\x07"},
         1,
         usage,
         "Unknown option: -\\033]0;owned\\a\nConversion error\n",
         ""},
        {"an option's value that looks like an option",
         {"-in", "--help"},
         1,
         "",
         "There is no data.\n",
         ""},
        {"missing output folder without a card",
         {"-out", "missing/deeper"},
         1,
         "",
         "There is no data.\n",
         ""},
        {"missing output folder with a card",
         {"-in", "CARD", "-out", "missing/deeper"},
         0,
         "Create missing\nCreate missing/deeper\nCreate missing/deeper/Data\n",
         "",
         "missing"},
        {"control characters in the output folder's name",
         {"-in", "CARD", "-out", "r\x1b[2J\x9b"},
         0,
         "Create r\\033[2J\\233\nCreate r\\033[2J\\233/Data\n",
         "",
         "r\x1b[2J\x9b"},
    };
    const QByteArray card = QFile::encodeName(TestSupport::NewFolder("card"));
    WriteCardFile(QFile::decodeName(card), "LOG1/B.DAT", LogFile());
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QByteArray folder = QFile::encodeName(TestSupport::NewFolder("typed"));
        QList<QByteArray> arguments;
        for (const QByteArray& argument : c.arguments)
            arguments.append(argument == "CARD" ? card : argument);
        const TestSupport::NativeRun run = TestSupport::RunWithBytes(
            QUORVANE_APP_DIR "/TOVKFeedbackViewer", arguments, folder, "C.UTF-8");
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
        QList<QByteArray> made;
        Path::ForEachNativeName(QFile::decodeName(folder),
                                [&](const char* name) { made.append(name); });
        EXPECT_EQ(made, c.made.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{c.made});
        TestSupport::RemoveNativeTree(folder);
    }
}
