// The stand-ins' shared pieces: the record numbering and lines other tests read back, the
// control file choice and the converter's data file layout.
#include "common/TestSupport.h"
#include "standins/common/StandinSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace
{
TEST(StandinRecord, TheNextRunTakesTheFirstFreeNumberInAFolderMadeOnDemand)
{
    qunsetenv("STANDIN_TEST_RECORD");
    EXPECT_EQ(Standin::NextRunRecord("STANDIN_TEST_RECORD"), QString());

    const QString folder = TestSupport::NewFolder() + QStringLiteral("/records");
    qputenv("STANDIN_TEST_RECORD", folder.toUtf8());
    EXPECT_EQ(Standin::NextRunRecord("STANDIN_TEST_RECORD"), folder + QStringLiteral("/run-1"));
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A copy beside a record does not take its number; a gap is filled first.
    TestSupport::WriteFile(folder + QStringLiteral("/run-1.xml"), "x");
    EXPECT_EQ(Standin::NextRunRecord("STANDIN_TEST_RECORD"), folder + QStringLiteral("/run-1"));
    ASSERT_TRUE(Standin::WriteRecord(folder + QStringLiteral("/run-1"), "one"));
    TestSupport::WriteFile(folder + QStringLiteral("/run-3.txt"), "three");
    EXPECT_EQ(Standin::NextRunRecord("STANDIN_TEST_RECORD"), folder + QStringLiteral("/run-2"));
    EXPECT_EQ(TestSupport::ReadFile(folder + QStringLiteral("/run-1.txt")), "one");
    qunsetenv("STANDIN_TEST_RECORD");
}

TEST(StandinRecord, CallLinesNameTheFolderAndEachArgumentAfterTheProgram)
{
    const QString folder = QFileInfo(TestSupport::NewFolder()).canonicalFilePath();
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder));
    const QByteArray lines = Standin::CallLines(
        {QStringLiteral("/bin/tool"), QStringLiteral("-i"), QStringLiteral("a b\u00e9")});
    QDir::setCurrent(before);
    EXPECT_EQ(lines, "cwd\t" + folder.toUtf8() + "\narg\t-i\narg\ta b\xc3\xa9\n");
    EXPECT_EQ(Standin::CallLines({QStringLiteral("/bin/tool")}), "cwd\t" + before.toUtf8() + "\n");
}

TEST(StandinControl, TheVariableWinsOverTheDefaultAndAnUnreadableFileGivesNoLines)
{
    const QString folder = TestSupport::NewFolder();
    const QString named = TestSupport::WriteFile(folder + "/named", "print a\r\nexit 3\n");
    const QString fallback = TestSupport::WriteFile(folder + "/fallback", "sleep 1");

    qputenv("STANDIN_TEST_CONTROL", named.toUtf8());
    EXPECT_EQ(Standin::ControlLines("STANDIN_TEST_CONTROL", fallback),
              QStringList({"print a\r", "exit 3", ""}));
    qunsetenv("STANDIN_TEST_CONTROL");
    EXPECT_EQ(Standin::ControlLines("STANDIN_TEST_CONTROL", fallback), QStringList{"sleep 1"});
    EXPECT_TRUE(Standin::ControlLines("STANDIN_TEST_CONTROL", folder + "/missing").isEmpty());
}

TEST(StandinDataFile, WorkNumberAndTextSitAtTheirOffsetsAndTheTextStopsAt80Units)
{
    const QString text = QString(79, u'a') + QStringLiteral("\u4e2dz");
    const QByteArray bytes = Standin::ContentDataFile(0x01020304, text);
    ASSERT_EQ(bytes.size(), 0xC4);
    EXPECT_EQ(bytes.left(4), "CBIN");
    EXPECT_EQ(bytes.mid(4, 8), QByteArray(8, '\0'));
    EXPECT_EQ(bytes.mid(0x0C, 4), QByteArray("\x04\x03\x02\x01", 4));
    EXPECT_EQ(bytes.mid(0x10, 0x14), QByteArray(0x14, '\0'));
    EXPECT_EQ(bytes.mid(0x24, 2), QByteArray("a\0", 2));
    // The 80th unit is the last one written, high byte second; "z" is cut off.
    EXPECT_EQ(bytes.mid(0x24 + 2 * 79, 2), QByteArray("\x2d\x4e", 2));

    const QByteArray empty = Standin::ContentDataFile(7, QString());
    EXPECT_EQ(empty.mid(0x24), QByteArray(0xC4 - 0x24, '\0'));
}
// On a disk that takes nothing more (a file-size limit of 0, which binds root too) every
// stand-in fails its run instead of ending with 0 after leaving empty files; with room the same
// run ends with 0.
TEST(StandinWrites, EveryStandinEndsWithACodeWhenItsFilesCannotBeWritten)
{
    const QString folder = TestSupport::NewFolder(QStringLiteral("disk"));
    const QString out = folder + QStringLiteral("/out");
    QDir().mkpath(out);
    const QString input = TestSupport::WriteFile(
        folder + "/in.xml", "<?xml version=\"1.0\"?>\n<ContentBody><ContentInfo><nProductNo>1"
                            "</nProductNo><strProductTxt>\"Text\"</strProductTxt></ContentInfo>"
                            "</ContentBody>\n");
    const QString conf = TestSupport::WriteFile(
        folder + "/conf.xml", "<?xml version=\"1.0\"?>\n<BindConf><BindConfItem><strBaseLanguage>"
                              "JP</strBaseLanguage></BindConfItem></BindConf>\n");
    const QString info =
        TestSupport::WriteFile(folder + "/info.xml", "<?xml version=\"1.0\"?>\n<BindInfo/>\n");
    QByteArray bmp(54 + 1024 + 256 * 192, '\0');
    const auto put = [&bmp](int at, quint32 value, int bytes)
    {
        for (int b = 0; b < bytes; ++b)
            bmp[at + b] = char(value >> (8 * b));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(10, 54 + 1024, 4);
    put(14, 40, 4);
    put(18, 256, 4);
    put(22, 192, 4);
    put(26, 1, 2);
    put(28, 8, 2);
    const QString title = TestSupport::WriteFile(folder + "/title.bmp", bmp);
    const QString control = TestSupport::WriteFile(folder + "/query.control", "query jp\n");
    qputenv("EDITORSTUB_CONTROL", control.toUtf8());
    for (const char* variable :
         {"MARVEX_CONTROL", "MARVEX_RECORD", "DURNAP_CONTROL", "DURNAP_RECORD", "HALBRINE_CONTROL",
          "HALBRINE_RECORD", "EDITORSTUB_RECORD"})
        qunsetenv(variable);

    struct Case
    {
        const char* program;
        QStringList arguments;
    };
    const Case cases[] = {
        {"marvex", {"-i", input, "-opath", out + "/jp", "-binpath", folder}},
        {"durnap", {"-conf", conf, "-info", info, "-out", out}},
        {"halbrine", {"-i", title, "-o", out, "-lang", "JP"}},
        {"TOVKQueryEditJP", {"-d", out}},
    };
    for (const Case& c : cases)
        for (const bool full : {true, false})
        {
            SCOPED_TRACE(std::string(c.program) + (full ? ", full disk" : ", room"));
            QDir(out).removeRecursively();
            QDir().mkpath(out + "/jp");
            QProcess run;
            run.setProgram(QStringLiteral("/bin/sh"));
            run.setArguments(
                QStringList{"-c", full ? "trap '' XFSZ; ulimit -f 0; exec \"$@\"" : "exec \"$@\"",
                            "sh", TestSupport::StandinFolder() + u'/' + c.program} +
                c.arguments);
            run.setStandardOutputFile(QProcess::nullDevice());
            run.start();
            ASSERT_TRUE(run.waitForFinished(30000));
            EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(run.exitCode() != 0, full);
        }
    qunsetenv("EDITORSTUB_CONTROL");
}

} // namespace
