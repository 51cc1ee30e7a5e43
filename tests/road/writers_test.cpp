// Every writer of the four programs against what may lie where its file goes: nothing outside
// the folder it was given changes, the author is told what failed, and the console programs
// end with the exit code that says so.
#include "Ostrelin/model/BindXml.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/shared/ToolArchive.h"
#include "TOVKContEdit/shared/ToolFileTable.h"
#include "TOVKContEdit/shared/XmlContentDumFile.h"
#include "bmp2vcx/BmpFixture.h"
#include "common/Planting.h"
#include "common/TestSupport.h"
#include "platform/AtomicFile.h"
#include "platform/RecordingMessages.h"
#include "tovkfeedbackviewer/DatFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

using namespace Planting;

struct Outcome
{
    bool written = false;
    QString shown; // what the author or the console was told
    int exitCode = 0;
};

struct Writer
{
    const char* name;
    FileKind kind;
    QString target;     // below the folder given, where the file goes
    QString linkFolder; // the folder inside that may be planted as a link; empty: none
    bool console;
    std::function<Outcome(const QString& root, const QString& folder)> run;
};

Outcome RunProgram(const char* program, const QStringList& arguments, const QString& in)
{
    QList<QByteArray> args;
    for (const QString& a : arguments)
        args.append(Native(a));
    const TestSupport::NativeRun run = TestSupport::RunWithBytes(
        Native(QStringLiteral(QUORVANE_APP_DIR "/") + program), args, Native(in), "C.UTF-8");
    return {run.exitCode == 0, QString::fromUtf8(run.out + run.err), run.exitCode};
}

ContentRecords SomeRecords()
{
    ContentRecord record;
    record.nLangType = 1;
    record.nProductNo = 1;
    record.strProductTxt = QStringLiteral("text");
    return {record};
}

Outcome SaveContent(const std::function<bool(CXmlContentDumFile&)>& save)
{
    RecordingMessages messages;
    CXmlContentDumFile file;
    const bool written = save(file);
    return {written, messages.texts().join(u'\n'), 0};
}

Outcome RunConverter(const QString& root, const QString& folder)
{
    BmpFixture::Spec spec;
    spec.colours = BmpFixture::GreyRamp(256);
    TestSupport::WriteFile(root + "/PIC.bmp", BmpFixture::Make(spec));
    return RunProgram("bmp2vcx", {"-i", root + "/PIC.bmp", "-o", folder}, root);
}

Outcome RunViewer(const QString& root, const QString& folder)
{
    const QString card = root + "/card";
    using namespace DatFixture;
    WriteCardFile(card, "LOG1/B.DAT",
                  DatFile(SampleLogArea(),
                          {Access(PackTime(2024, 5, 5, 11, 0, 0), 1, 2, Mac({9, 9, 9, 9, 9, 9}))}));
    return RunProgram("TOVKFeedbackViewer", {"-in", card, "-out", folder}, root);
}

const std::vector<Writer>& Writers()
{
    static const std::vector<Writer> writers = {
        {"bmp2vcx palette", FileKind::Output, "PIC.vcl", "", true, RunConverter},
        {"bmp2vcx tiles", FileKind::Output, "PIC.vcg", "", true, RunConverter},
        {"viewer report", FileKind::Output, "Data/LOG.csv", "Data", true, RunViewer},
        {"viewer index page", FileKind::Output, "index_en.html", "", true, RunViewer},
        {"converter input", FileKind::Output, "output/contents/en/TOVKContent_en.xml",
         "output/contents/en", false,
         [](const QString&, const QString& folder)
         {
             QDir().mkpath(folder + "/output/contents");
             QDir().mkpath(folder + "/output/contents/en");
             return SaveContent(
                 [&](CXmlContentDumFile& file)
                 {
                     const OutputFolder convert(folder);
                     const OutputFolder en(convert, "output/contents/en");
                     return file.Save(en, "TOVKContent_en.xml", SomeRecords());
                 });
         }},
        {"bind configuration file", FileKind::Output, "convert/input/xml/KPGEditor_Conf.xml",
         "convert/input/xml", false,
         [](const QString&, const QString& folder)
         {
             QDir().mkpath(folder + "/convert/input/xml");
             const OutputFolder project(folder);
             const OutputFolder xml(project, "convert/input/xml");
             const bool written = CXmlBindConfFile().Save(xml, "KPGEditor_Conf.xml", {});
             return Outcome{written, written ? QString() : QStringLiteral("refused"), 0};
         }},
        {"bind information file", FileKind::Output, "convert/input/xml/KPGEditor_Info.xml",
         "convert/input/xml", false,
         [](const QString&, const QString& folder)
         {
             QDir().mkpath(folder + "/convert/input/xml");
             const OutputFolder project(folder);
             const OutputFolder xml(project, "convert/input/xml");
             CBindInfoWriter writer(xml, "KPGEditor_Info.xml");
             const bool written = writer.Commit();
             return Outcome{written, written ? QString() : QStringLiteral("refused"), 0};
         }},
        {"tool archive file", FileKind::Output, QString::fromLatin1(ToolFileTable[0]),
         QString::fromLatin1(ToolFileTable[0]).section(u'/', 0, 0), false,
         [](const QString&, const QString& folder)
         {
             QString tools;
             const bool written = ExtractToolsInto(ToolArchive(), folder, tools);
             return Outcome{written, written ? QString() : QStringLiteral("refused"), 0};
         }},
        {"log and title bitmap (ReplaceFile)", FileKind::Output, "marvex.log", "", false,
         [](const QString&, const QString& folder)
         {
             QString error;
             const bool written = ReplaceFile(folder + "/marvex.log", "log", &error);
             return Outcome{written, error, 0};
         }},
        {"content file", FileKind::Document, "TOVKContent.xml", "", false,
         [](const QString&, const QString& folder)
         {
             return SaveContent([&](CXmlContentDumFile& file)
                                { return file.Save(folder + "/TOVKContent.xml", SomeRecords()); });
         }},
        {"project file", FileKind::Document, "GuideData.olx", "", false,
         [](const QString&, const QString& folder)
         {
             COstrelinDoc doc;
             const bool written = doc.OnSaveDocument(folder + "/GuideData.olx");
             return Outcome{written, doc.SaveError(), 0};
         }},
    };
    return writers;
}

TEST(Writers, NothingOutsideTheFolderChangesAndEveryRefusalIsTold)
{
    Strings::Install(ContEditStringsEN());
    QStringList table;
    for (const Writer& writer : Writers())
    {
        QString row = QString::fromLatin1(writer.name).leftJustified(36);
        for (int p = PlainFile; p <= LinkAsFolder; ++p)
        {
            const Planted planted = Planted(p);
            SCOPED_TRACE(std::string(writer.name) + ", " + kNames[p]);
            const bool document = writer.kind == FileKind::Document;
            if (planted == LinkAsFolder && writer.linkFolder.isEmpty())
            {
                row += QStringLiteral(" | n/a");
                continue;
            }
            const QString root = TestSupport::NewFolder("writers");
            const QString folder = root + "/out";
            const QString outside = root + "/outside";
            QDir().mkpath(folder);
            QDir().mkpath(outside);
            TestSupport::WriteFile(outside + "/victim", "PRECIOUS");
            QString named;
            if (!Plant(planted, folder + '/' + writer.target, outside, named,
                       folder + '/' + writer.linkFolder))
            {
                // Only this cell needs what the machine does not allow.
                row += QStringLiteral(" | skipped");
                continue;
            }
            const QStringList outsideBefore = Entries(outside);
            const Outcome outcome = writer.run(root, folder);

            // Refused: a folder at the name, a link as a folder inside the output folder, and
            // for a document anything that is no regular file.
            const bool refused = planted == FolderAtName || planted == LinkAsFolder ||
                                 (document && (planted == LinkToDevice || planted == Fifo));
            EXPECT_EQ(outcome.written, !refused) << outcome.shown.toStdString();
            if (writer.console)
            {
                EXPECT_EQ(outcome.exitCode, refused ? 1 : 0) << outcome.shown.toStdString();
            }
            if (refused)
            {
                // The file or the refused folder is named.
                EXPECT_TRUE(writer.console ? outcome.shown.contains(folder)
                                           : !outcome.shown.isEmpty())
                    << outcome.shown.toStdString();
            }
            else if (!writer.console)
            {
                EXPECT_TRUE(outcome.shown.isEmpty()) << outcome.shown.toStdString();
            }

            // Outside: only a document's link leads its bytes there, by the rule of documents.
            const bool throughLink =
                document && (planted == LinkOutside || planted == DanglingLink);
            QStringList expectedOutside = outsideBefore;
            if (throughLink && planted == DanglingLink)
                expectedOutside.append("missing");
            expectedOutside.sort();
            EXPECT_EQ(Entries(outside), expectedOutside);
            if (!(throughLink && planted == LinkOutside))
            {
                EXPECT_EQ(TestSupport::ReadFile(outside + "/victim"), "PRECIOUS");
            }
            if (planted == LinkAsFolder)
            {
                EXPECT_TRUE(Entries(outside + "/elsewhere").isEmpty());
            }
            if (planted == LinkToDevice)
            {
                struct stat st;
                ASSERT_EQ(lstat(Native(outside + "/null").constData(), &st), 0);
                EXPECT_TRUE(S_ISCHR(st.st_mode));
            }
            const QString target = folder + '/' + writer.target;
            if (!refused)
            {
                const QFileInfo info(target);
                EXPECT_EQ(info.isSymLink(), throughLink);
                EXPECT_TRUE(info.isFile());
                EXPECT_NE(TestSupport::ReadFile(throughLink ? named : target), "old");
                EXPECT_NE(TestSupport::ReadFile(throughLink ? named : target), "PRECIOUS");
            }
            for (const QString& entry : Entries(QFileInfo(target).path()))
                EXPECT_FALSE(entry.contains(".new-")) << entry.toStdString();
            row += refused       ? QStringLiteral(" | refused")
                   : throughLink ? QStringLiteral(" | through")
                                 : QStringLiteral(" | replaced");
        }
        table.append(row);
    }
    std::cout << "writer" << QString(31, u' ').toStdString();
    for (const char* planted : kNames)
        std::cout << "| " << planted << ' ';
    std::cout << '\n';
    for (const QString& row : table)
        std::cout << row.toStdString() << '\n';
}

// Two users in one sticky folder open to all: a link one of them planted at an output's name
// never leads the other's run to the file it names.
TEST(Writers, ALinkPlantedByAnotherUserInAStickyFolderLeadsNowhere)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "two users are needed: the test runs as root to be both";
    const QString root = TestSupport::NewFolder("sticky");
    // Reachable by both users without the private folders above it.
    QByteArray shared = "/tmp/quorvane-sticky-XXXXXX";
    ASSERT_NE(mkdtemp(shared.data()), nullptr);
    const QString base = QFile::decodeName(shared);
    ASSERT_EQ(::chmod(shared.constData(), 0755), 0);
    const QString sticky = base + "/shared";
    const QString home = base + "/home";
    ASSERT_TRUE(QDir().mkpath(sticky));
    ASSERT_TRUE(QDir().mkpath(home));
    ASSERT_EQ(::chmod(Native(sticky).constData(), 01777), 0);
    constexpr unsigned planter = 60001;
    constexpr unsigned author = 60002;
    ASSERT_EQ(::chown(Native(home).constData(), author, author), 0);
    const QString thesis = home + "/thesis.txt";
    const QString picture = home + "/PIC.bmp";
    BmpFixture::Spec spec;
    spec.colours = BmpFixture::GreyRamp(256);
    TestSupport::WriteFile(thesis, "THESIS");
    TestSupport::WriteFile(picture, BmpFixture::Make(spec));
    ASSERT_EQ(::chown(Native(thesis).constData(), author, author), 0);
    ASSERT_EQ(::chown(Native(picture).constData(), author, author), 0);

    const int planted =
        TestSupport::RunAsUser(planter,
                               [&]
                               {
                                   return ::symlink(Native(thesis).constData(),
                                                    Native(sticky + "/PIC.vcl").constData()) == 0
                                              ? 0
                                              : 1;
                               });
    ASSERT_EQ(planted, 0);
    // The author's run: the real program, as the author.
    const QByteArray program = QUORVANE_APP_DIR "/bmp2vcx";
    const int exitCode = TestSupport::RunAsUser(
        author,
        [&]
        {
            execl(program.constData(), program.constData(), "-i", Native(picture).constData(), "-o",
                  Native(sticky).constData(), static_cast<char*>(nullptr));
            return 126;
        });
    EXPECT_EQ(TestSupport::ReadFile(thesis), "THESIS");
    // The other user's link cannot be replaced in the sticky folder: the run fails, and says so.
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(QFileInfo(sticky + "/PIC.vcl").isSymLink());
    EXPECT_FALSE(QFileInfo::exists(sticky + "/PIC.vcg")) << "no tiles without their palette";
    TestSupport::RemoveNativeTree(shared);
    QDir(root).removeRecursively();
}
} // namespace
