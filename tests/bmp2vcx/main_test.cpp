// The built converter as a user runs it: exit codes, the two output streams, the files.
#include "BmpFixture.h"
#include "common/TestSupport.h"
#include "platform/ConsoleName.h"
#include "platform/Path.h"

#include <QDir>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{
struct Finished
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Finished Start(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(QUORVANE_APP_DIR "/bmp2vcx"), arguments);
    Finished finished;
    if (!process.waitForFinished(60000))
        return finished;
    finished.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    finished.out = process.readAllStandardOutput();
    finished.err = process.readAllStandardError();
    return finished;
}

TEST(Bmp2VcxProgramTest, ConvertsAPictureAndRefusesAnotherWithExitCodeOne)
{
    const QString folder = TestSupport::NewFolder(QStringLiteral("program"));
    BmpFixture::Spec spec;
    spec.width = 16;
    spec.height = 16;
    spec.colours = BmpFixture::GreyRamp(256);
    const QString good = TestSupport::WriteFile(folder + "/good.bmp", BmpFixture::Make(spec));
    spec.width = 12;
    const QString odd = TestSupport::WriteFile(folder + "/odd.bmp", BmpFixture::Make(spec));

    const Finished converted = Start({"-i", good, "-o", folder});
    EXPECT_EQ(converted.exitCode, 0);
    EXPECT_EQ(converted.err, QByteArray());
    EXPECT_TRUE(converted.out.startsWith("input file: " + good.toLocal8Bit() + "\n"));
    EXPECT_EQ(TestSupport::ReadFile(folder + "/good.vcl").size(), 556);
    EXPECT_EQ(TestSupport::ReadFile(folder + "/good.vcg").size(), 256 + 4 + 12 + 72);

    const Finished refused = Start({"-i", odd, "-o", folder});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith("## Error: [" + odd.toLocal8Bit() +
                                       "] : The image size should be multiple of 8(12 x 16).\n"));
    EXPECT_TRUE(refused.err.contains("Usage : bmp2vcx.exe"));
    EXPECT_FALSE(QFile::exists(folder + "/odd.vcl"));
}
// Paths given as bytes that are no text in the locale reach the files they name; the link
// in the tile file names the palette file by its own bytes. A name that is text but not
// ASCII cannot be written as the link in a plain ASCII locale.
TEST(Bmp2VcxProgramTest, CommandLinePathsAreTakenAsTheirBytes)
{
    struct Case
    {
        const char* locale;
        QByteArray name; // of the picture, without ".bmp"
        int exitCode;
    };
    const Case cases[] = {
        {"C.UTF-8", "pic\xe9", 0},     {"C", "pic\xe9", 0},     {"C.UTF-8", "\xff\xfe", 0},
        {"C.UTF-8", "pic\xc3\xa9", 0}, {"C", "pic\xc3\xa9", 1},
    };
    const QByteArray program = QUORVANE_APP_DIR "/bmp2vcx";
    BmpFixture::Spec spec;
    spec.width = 16;
    spec.height = 16;
    spec.colours = BmpFixture::GreyRamp(256);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.locale) + " " + c.name.toHex().toStdString());
        const QByteArray base = QFile::encodeName(TestSupport::NewFolder(QStringLiteral("bytes")));
        const QByteArray folder = base + "/in\xff\xfe";
        const QByteArray output = base + "/out\xe9";
        ASSERT_EQ(mkdir(folder.constData(), 0700), 0);
        ASSERT_EQ(mkdir(output.constData(), 0700), 0);
        const QByteArray input = folder + '/' + c.name + ".bmp";
        ASSERT_TRUE(TestSupport::WriteNativeFile(input, BmpFixture::Make(spec)));

        const TestSupport::NativeRun run =
            TestSupport::RunWithBytes(program, {"-i", input, "-o", output}, base, c.locale);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        // The lines show the bytes that are no text as escapes.
        const QByteArray shown = Path::EncodeName(ConsoleName(Path::DecodeName(input)));
        EXPECT_TRUE(run.out.startsWith("input file: " + shown + "\n"));
        EXPECT_TRUE(shown.contains("/in\\377\\376/"));
        const QByteArray tiles = TestSupport::ReadNativeFile(output + '/' + c.name + ".vcg");
        if (c.exitCode == 0)
        {
            EXPECT_EQ(run.err, QByteArray());
            EXPECT_EQ(TestSupport::ReadNativeFile(output + '/' + c.name + ".vcl").size(), 556);
            EXPECT_TRUE(tiles.contains("LINK"));
            EXPECT_TRUE(tiles.contains(c.name + ".vcl")) << "the link holds the name's bytes";
        }
        else
        {
            EXPECT_TRUE(run.err.startsWith("## Error: [" + shown +
                                           "] : The name of the palette "
                                           "file cannot be written"));
            EXPECT_EQ(tiles, QByteArray());
        }
        TestSupport::RemoveNativeTree(base);
    }
}

const QByteArray Usage = BmpFixture::kUsage;

QByteArray Progress(const QByteArray& shown)
{
    return "input file: " + shown + "\nbin2vcx: [" + shown + "] is 256IndexColor\nbin2vcx: [" +
           shown + "] 16bit palette size(256)\nbin2vcx: [" + shown + "] index size(256)\n";
}

QByteArray Picture16()
{
    BmpFixture::Spec spec;
    spec.width = 16;
    spec.height = 16;
    spec.colours = BmpFixture::GreyRamp(256);
    return BmpFixture::Make(spec);
}

// Command lines as a user types them, in a folder holding pic.bmp and a picture whose name
// holds an escape sequence: what the converter prints, its exit code, and what it made.
TEST(Bmp2VcxProgramTest, CommandLines)
{
    const QByteArray escaped = "p\x1b]0;owned\x07";
    struct Case
    {
        const char* name;
        QList<QByteArray> arguments;
        int exitCode;
        QByteArray out;
        QByteArray err;
        QList<QByteArray> made;
    };
    const Case cases[] = {
        {"no arguments", {}, 1, "", "## Error: [.] : Argment error.\n" + Usage, {}},
        {"--help", {"--help"}, 0, Usage, "", {}},
        {"-h beside valid options", {"-i", "pic.bmp", "-h", "-o", "."}, 0, Usage, "", {}},
        {"unknown option",
         {"--version"},
         1,
         "",
         "## Error: [--version] : Unknown option.\n" + Usage,
         {}},
        {"an option in another case",
         {"-I", "pic.bmp", "-o", "."},
         1,
         "",
         "## Error: [-I] : Unknown option.\n" + Usage,
         {}},
        {"a near guide option",
         {"-i", "pic.bmp", "-o", ".", "-tovkguide-not"},
         1,
         "",
         "## Error: [-tovkguide-not] : Unknown option.\n" + Usage,
         {}},
        {"unknown option holding an escape sequence",
         {"-i", "pic.bmp", "-o", ".", "-\x1b[2J"},
         1,
         "",
         "## Error: [-\\033[2J] : Unknown option.\n" + Usage,
         {}},
        {"missing output folder",
         {"-i", "pic.bmp", "-o", "missing/"},
         1,
         Progress("pic.bmp"),
         "## Error: [missing/] : The output folder does not exist.\n",
         {}},
        {"control characters in the picture's name",
         {"-i", escaped + ".bmp", "-o", "."},
         0,
         Progress("p\\033]0;owned\\a.bmp"),
         "",
         {escaped + ".vcg", escaped + ".vcl"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QByteArray folder =
            QFile::encodeName(TestSupport::NewFolder(QStringLiteral("typed")));
        ASSERT_TRUE(TestSupport::WriteNativeFile(folder + "/pic.bmp", Picture16()));
        ASSERT_TRUE(TestSupport::WriteNativeFile(folder + '/' + escaped + ".bmp", Picture16()));
        const TestSupport::NativeRun run =
            TestSupport::RunWithBytes(QUORVANE_APP_DIR "/bmp2vcx", c.arguments, folder, "C.UTF-8");
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
        QList<QByteArray> made;
        Path::ForEachNativeName(QFile::decodeName(folder),
                                [&](const char* name)
                                {
                                    if (!QByteArray(name).endsWith(".bmp"))
                                        made.append(name);
                                });
        std::sort(made.begin(), made.end());
        EXPECT_EQ(made, c.made);
        TestSupport::RemoveNativeTree(folder);
    }
}

// Standard output and error as one pipe: the error comes after the progress lines it
// follows.
TEST(Bmp2VcxProgramTest, LinesComeOutInTheOrderTheyHappen)
{
    const QString folder = TestSupport::NewFolder(QStringLiteral("order"));
    TestSupport::WriteFile(folder + "/pic.bmp", Picture16());
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(QUORVANE_APP_DIR "/bmp2vcx"), {"-i", "pic.bmp", "-o", "missing"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAll(),
              Progress("pic.bmp") + "## Error: [missing] : The output folder does not exist.\n");
}
} // namespace
