// The built hub as a user starts it from a terminal.
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/res/resource.h"
#include "common/TestSupport.h"

#include <QProcess>
#include <gtest/gtest.h>

// "--help" is answered without any display: the usage, exit code 0, no window.
TEST(OstrelinProcess, HelpPrintsTheUsageWithoutADisplay)
{
    QProcess process;
    // A window system that cannot be reached: a program that needs one would abort.
    QProcessEnvironment environment = TestSupport::EnvironmentWithoutDisplay();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUORVANE_APP_DIR "/OstrelinJP"), {QStringLiteral("--help")});
    ASSERT_TRUE(process.waitForFinished(15000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const QString usage = OstrelinStringsJA().Load(IDS_USAGE);
    EXPECT_TRUE(usage.startsWith(QStringLiteral("使い方: OstrelinJP")));
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), usage);
    EXPECT_EQ(process.readAllStandardError(), QByteArray());
}
