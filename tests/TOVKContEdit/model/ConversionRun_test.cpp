// The Output run behind the progress interface, with a progress fake and the stand-in
// converter: where it stops and what it leaves of each language's data.
#include "TOVKContEdit/model/ConversionRun.h"
#include "TOVKContEdit/output_project.h"
#include "common/FakeProgress.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace
{
using TestSupport::FakeProgress;

constexpr int JP = 0, EN = 1, FR = 2;

class ConversionRunTest : public OutputFixture::Project
{
protected:
    void SetUp() override
    {
        MakeProject(QStringLiteral("run"));
        m_start = TestSupport::StandinFolder();
        m_run.SetProgress(&m_progress);
        m_run.SetLanguageHandler([this](int language) { m_language = language; });
    }

    CConversionRun::Outcome Run()
    {
        return m_run.Run(true, OutputFolders{m_start, m_convert, m_tools}, QString());
    }

    // The content editor's dialog range. Tests that put the bar at its end see that the run
    // serves the events without the steps, which no longer do so there.
    FakeProgress m_progress{100, 2};
    CConversionRun m_run{m_doc};
    int m_language = -1;
};

// A cancel (the Cancel button or a termination request) while the second language's long
// table is checked stops that check at once: its findings further down are not shown, and
// no language's data, the first one's included, has been touched.
TEST_F(ConversionRunTest, ACancelDuringTheCheckOfALaterLanguageKeepsEveryLanguagesData)
{
    for (int number = 1; number <= 200; ++number)
        AddRow(number, {JP, EN});
    m_doc.GetRow(199).voice[EN].clear();
    WriteOldData({"jp", "en", "du"});
    m_progress.SetPosition(100);
    m_progress.cancelWhen = [this] { return m_language == EN; };

    const CConversionRun::Outcome outcome = Run();
    EXPECT_FALSE(outcome.converted);
    EXPECT_EQ(outcome.stoppedAt, EN);
    EXPECT_TRUE(m_messages.texts().isEmpty()) << m_messages.texts().join('|').toStdString();
    EXPECT_TRUE(Runs().isEmpty());
    for (const char* code : {"jp", "en", "du"})
        EXPECT_TRUE(QFileInfo::exists(OldData(code))) << code;
}

// The shared tool folder is asked for before each language: one that another program removed
// after the first language stops the run there, with the first language's data converted and
// the next one's kept.
TEST_F(ConversionRunTest, ToolsGoneBeforeTheSecondLanguageStopThere)
{
    AddRow(1, {JP, FR});
    WriteOldData({"fr"});
    int asked = 0;
    m_run.SetToolSource([this, &asked] { return ++asked == 1 ? m_tools : QString(); });

    const CConversionRun::Outcome outcome = Run();
    EXPECT_FALSE(outcome.converted);
    EXPECT_EQ(outcome.stoppedAt, FR);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(m_messages.texts(), QStringList{"Conversion error."});
    EXPECT_EQ(Runs().size(), 1);
    EXPECT_TRUE(QFileInfo::exists(Folder("jp") + "/CJP00001.bin"));
    EXPECT_TRUE(QFileInfo::exists(OldData("fr")));
}
} // namespace
