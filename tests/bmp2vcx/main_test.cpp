// The built converter as a user runs it: exit codes, the two output streams, the files.
#include "BmpFixture.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

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
} // namespace
