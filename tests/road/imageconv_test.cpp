// The image converter as an author runs it by hand from the installed folder: a work's
// picture becomes a palette file and a tile file, in normal and in guide mode; a file that
// is not a bitmap is refused with exit code 1.
#include "road/RoadFixture.h"
#include "road/sample/SampleData.h"

#include <QFileInfo>

namespace
{
class RoadImageConverter : public RoadTest
{
};

TEST_F(RoadImageConverter, PictureBecomesPaletteAndTileFiles)
{
    ASSERT_TRUE(m_app->IsComplete({"bmp2vcx"}));
    const QString picture =
        TestSupport::WriteFile(TestSupport::NewFolder("pictures") + "/title.bmp",
                               SampleData::WorkPicture("Title", QColor(30, 60, 120)));
    for (const bool guide : {false, true})
    {
        const QString out = TestSupport::NewFolder(guide ? "guide" : "plain");
        QStringList arguments{"-i", picture, "-o", out};
        if (guide)
            arguments << "-tovkguide";
        QString console;
        ASSERT_EQ(Road::RunToEnd(m_app->Root() + "/bmp2vcx", arguments, m_env, 60000, &console), 0)
            << console.toStdString();
        for (const char* file : {"/title.vcg", "/title.vcl"})
            EXPECT_GT(QFileInfo(out + file).size(), 0) << file << (guide ? " (guide)" : "");
    }

    const QString text =
        TestSupport::WriteFile(TestSupport::NewFolder("text") + "/notes.bmp", "not a picture");
    QString console;
    EXPECT_EQ(Road::RunToEnd(m_app->Root() + "/bmp2vcx",
                             {"-i", text, "-o", TestSupport::NewFolder("refused")}, m_env, 60000,
                             &console),
              1);
    EXPECT_FALSE(console.trimmed().isEmpty()) << "a refusal says why";
}
} // namespace
