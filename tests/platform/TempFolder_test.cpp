#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/TempFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
class TempFolderTest : public ::testing::Test
{
protected:
    void SetUp() override { saved = qgetenv("TMPDIR"); }
    void TearDown() override { qputenv("TMPDIR", saved); }
    QByteArray saved;
};

unsigned Mode(const QString& path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 0777) : 0xFFFF;
}

TEST_F(TempFolderTest, PrivateFolderBelowTmpdir)
{
    const QString base = TestSupport::NewFolder("base");
    qputenv("TMPDIR", QFile::encodeName(base + "/"));
    const QString folder = TempFolder();
    EXPECT_EQ(folder, base + "/quorvane-" + QString::number(getuid()));
    EXPECT_EQ(Mode(folder), 0700u);
    EXPECT_EQ(TempFolder(), folder);
}

TEST_F(TempFolderTest, OpenFolderIsClosedAgain)
{
    const QString base = TestSupport::NewFolder("open");
    const QString folder = base + "/quorvane-" + QString::number(getuid());
    ASSERT_TRUE(QDir().mkpath(folder));
    chmod(QFile::encodeName(folder).constData(), 0777);
    qputenv("TMPDIR", QFile::encodeName(base));
    EXPECT_EQ(TempFolder(), folder);
    EXPECT_EQ(Mode(folder), 0700u);
}

TEST_F(TempFolderTest, RefusesLinksAndFiles)
{
    const QString base = TestSupport::NewFolder("unsafe");
    const QString name = base + "/quorvane-" + QString::number(getuid());
    ASSERT_TRUE(QFile::link(TestSupport::NewFolder("target"), name));
    qputenv("TMPDIR", QFile::encodeName(base));
    EXPECT_EQ(TempFolder(), "");

    const QString base2 = TestSupport::NewFolder("file");
    TestSupport::WriteFile(base2 + "/quorvane-" + QString::number(getuid()), "x");
    qputenv("TMPDIR", QFile::encodeName(base2));
    EXPECT_EQ(TempFolder(), "");
}

TEST_F(TempFolderTest, UnsetOrRelativeTmpdirMeansTmp)
{
    qputenv("TMPDIR", "relative/dir");
    EXPECT_EQ(TempFolder(), "/tmp/quorvane-" + QString::number(getuid()));
}
} // namespace
