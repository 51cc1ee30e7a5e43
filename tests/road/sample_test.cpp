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
