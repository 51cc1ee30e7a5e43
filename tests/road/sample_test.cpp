// What `make run` sets up besides building: the sample project, written again where files of
// it went missing, and the demonstration tools linked into the program folder's bin.
#include "common/TestSupport.h"
#include "road/RoadHarness.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace
{
// Every file below the folder by its relative path, with its bytes.
std::map<QString, QByteArray> Files(const QString& folder)
{
    std::map<QString, QByteArray> files;
    const QDir root(folder);
    QStringList pending{folder};
    while (!pending.isEmpty())
    {
        const QDir dir(pending.takeFirst());
        for (const QFileInfo& entry :
             dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        {
            if (entry.isDir())
                pending << entry.filePath();
            else
                files[root.relativeFilePath(entry.filePath())] =
                    TestSupport::ReadFile(entry.filePath());
        }
    }
    return files;
}

#ifdef QUORVANE_SAMPLE_TOOL
int MakeSample(const QString& folder, QString* output = nullptr)
{
    return Road::RunToEnd(QUORVANE_SAMPLE_TOOL, {folder}, QProcessEnvironment::systemEnvironment(),
                          60000, output);
}

TEST(SampleProject, WhatWentMissingIsWrittenAgainAndWhatIsThereIsLeft)
{
    const QString folder = TestSupport::NewFolder("sample");
    ASSERT_EQ(MakeSample(folder), 0);
    const std::map<QString, QByteArray> made = Files(folder);
    const QString contents = folder + "/convert/output/contents";
    ASSERT_EQ(made.count("convert/output/contents/jp/CJP00003.bin"), 1u);
    ASSERT_EQ(made.count("convert/output/contents/en/CEN00003.bin"), 1u);
    const QDateTime project = QFileInfo(folder + "/GuideData.olx").lastModified();

    // A failed Output emptied both content folders; a voice went too.
    for (const char* code : {"jp", "en"})
        for (const QString& name : QDir(contents + "/" + code).entryList(QDir::Files))
            ASSERT_TRUE(QFile::remove(contents + "/" + code + "/" + name));
    ASSERT_TRUE(QFile::remove(folder + "/convert/input/wav/work2_en.wav"));
    QString output;
    ASSERT_EQ(MakeSample(folder, &output), 0);
    EXPECT_TRUE(output.contains("7 missing files")) << output.toStdString();
    EXPECT_EQ(Files(folder), made);
    EXPECT_EQ(QFileInfo(folder + "/GuideData.olx").lastModified(), project);

    // The author's own conversion of English is not mixed with the sample's data; the empty
    // Japanese folder is filled again.
    for (const QString& name : QDir(contents + "/en").entryList(QDir::Files))
        ASSERT_TRUE(QFile::remove(contents + "/en/" + name));
    for (const QString& name : QDir(contents + "/jp").entryList(QDir::Files))
        ASSERT_TRUE(QFile::remove(contents + "/jp/" + name));
    TestSupport::WriteFile(contents + "/en/CEN00001.bin", "converted by the author");
    ASSERT_EQ(MakeSample(folder), 0);
    EXPECT_EQ(QDir(contents + "/en").entryList(QDir::Files), QStringList{"CEN00001.bin"});
    EXPECT_EQ(TestSupport::ReadFile(contents + "/en/CEN00001.bin"), "converted by the author");
    for (const char* name : {"CJP00001.bin", "CJP00002.bin", "CJP00003.bin"})
        EXPECT_EQ(TestSupport::ReadFile(contents + "/jp/" + name),
                  made.at(QString("convert/output/contents/jp/") + name))
            << name;
}

TEST(SampleProject, TheMakerRefusesOptionsAndSaysHowItIsUsed)
{
    const QString here = TestSupport::NewFolder("cwd");
    struct Case
    {
        QStringList arguments;
        int exitCode;
    } cases[] = {
        {{"--help"}, 0}, {{"-h"}, 0}, {{"--force"}, 2}, {{"-"}, 2}, {{}, 2}, {{"a", "b"}, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QString output;
        EXPECT_EQ(Road::RunToEnd(QUORVANE_SAMPLE_TOOL, c.arguments,
                                 QProcessEnvironment::systemEnvironment(), 60000, &output, here),
                  c.exitCode);
        EXPECT_TRUE(output.contains("usage: quorvane_sample <folder>")) << output.toStdString();
        EXPECT_EQ(QDir(here).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
}
#endif

#ifdef QUORVANE_NINJA
// `make run` builds the demo target alone: it must bring the help page of the hub's last step
// and what the run starts, and nothing the run does not start.
TEST(DemoTarget, BuildsWhatTheRunStartsAndTheHelpPage)
{
    QString commands;
    ASSERT_EQ(Road::RunToEnd(QUORVANE_NINJA, {"-C", QUORVANE_BUILD_DIR, "-t", "commands", "demo"},
                             QProcessEnvironment::systemEnvironment(), 60000, &commands),
              0);
    const struct
    {
        const char* piece;
        bool built;
    } cases[] = {
        {"app/docs/html/Quorvane KP Guide RiridediRuzude JP.html", true},
        {"-o app/OstrelinJP", true},
        {"-o app/bin/TOVKContEditJP", true},
        {"-o tests/road/quorvane_sample", true},
        {"-o standins/marvex", true},
        {"-o app/bin/TOVKContEditEN", false},
        {"-o app/TOVKFeedbackViewer", false},
        {"-o app/bmp2vcx", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commands.contains(c.piece), c.built) << c.piece;
}
#endif

// Runs the placement the demo target runs, on a bin folder of the test's own.
int PlaceDemoTools(const QString& bin, const QString& from)
{
    return Road::RunToEnd(QUORVANE_CMAKE,
                          {"-DBIN=" + bin, "-DFROM=" + from,
                           "-DTOOLS=marvex,durnap,halbrine,TOVKQueryEditJP", "-P",
                           QUORVANE_SOURCE_DIR "/cmake/DemoTools.cmake"},
                          QProcessEnvironment::systemEnvironment(), 60000);
}

TEST(DemoTools, LinkedBesideTheEditorsWhereNoRealToolIs)
{
    const QString root = TestSupport::NewFolder("app");
    const QString from = root + "/standins";
    const QString bin = root + "/app/bin";
    for (const char* tool : {"marvex", "durnap", "halbrine", "TOVKQueryEditJP"})
        TestSupport::WriteFile(from + "/" + tool, QByteArray("demonstration ") + tool);
    // A native bind tool and the Windows title replacer are the author's.
    TestSupport::WriteFile(bin + "/durnap", "real");
    TestSupport::WriteFile(bin + "/Halbrine.EXE", "real");
    const auto linked = [&](const char* tool)
    { return QFileInfo(bin + "/" + tool).symLinkTarget(); };

    ASSERT_EQ(PlaceDemoTools(bin, from), 0);
    EXPECT_EQ(linked("marvex"), from + "/marvex");
    EXPECT_EQ(linked("TOVKQueryEditJP"), from + "/TOVKQueryEditJP");
    EXPECT_EQ(TestSupport::ReadFile(bin + "/durnap"), "real");
    EXPECT_FALSE(QFileInfo(bin + "/durnap").isSymLink());
    EXPECT_FALSE(QFileInfo::exists(bin + "/halbrine"));
    // The links are relative, so the build folder can move.
    char target[256] = {};
    ASSERT_GT(readlink(QFile::encodeName(bin + "/marvex").constData(), target, sizeof target - 1),
              0);
    EXPECT_STREQ(target, "../../standins/marvex");

    // A real converter arrives as a Windows program: our link no longer stands in its way.
    TestSupport::WriteFile(bin + "/MARVEX.exe", "real");
    ASSERT_EQ(PlaceDemoTools(bin, from), 0);
    EXPECT_FALSE(QFileInfo(bin + "/marvex").isSymLink());
    EXPECT_EQ(QDir(bin).entryList(QDir::Files | QDir::System, QDir::Name | QDir::IgnoreCase),
              QStringList({"durnap", "Halbrine.EXE", "MARVEX.exe", "TOVKQueryEditJP"}));
}
} // namespace
