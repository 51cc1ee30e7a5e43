#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/HandOver.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{
TEST(HandOver, FolderIsPrivateBelowTheRuntimeFolder)
{
    const QString folder = HandOver::Folder();
    EXPECT_EQ(folder, qEnvironmentVariable("XDG_RUNTIME_DIR") + "/Quorvane");
    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(HandOver, ClearSetAndRead)
{
    QString value = "untouched";
    EXPECT_FALSE(HandOver::ReadValue("LastQueryFile", value));
    EXPECT_EQ(value, "untouched");
    EXPECT_EQ(HandOver::GetValue("LastQueryFile"), "");

    EXPECT_TRUE(HandOver::ClearValue("LastContentFile"));
    EXPECT_TRUE(HandOver::ReadValue("LastContentFile", value));
    EXPECT_EQ(value, "");

    const QString path = QString::fromUtf8("/home/u/プロジェクト/input/xml/TOVK Content.xml");
    EXPECT_TRUE(HandOver::SetValue("LastContentFile", path));
    EXPECT_EQ(HandOver::GetValue("LastContentFile"), path);
    EXPECT_FALSE(HandOver::ReadValue("LastQueryFile", value));
    EXPECT_TRUE(HandOver::SetValue("LastQueryFile", "/q.xml"));
    EXPECT_EQ(HandOver::GetValue("LastContentFile"), path);
    EXPECT_EQ(HandOver::GetValue("LastQueryFile"), "/q.xml");
}

TEST(HandOver, ValuesLongerThanTheReaderTakesAreNotRead)
{
    const QString fits(HandOver::MaxValueLength, u'a');
    ASSERT_TRUE(HandOver::SetValue("LastContentFile", fits));
    EXPECT_EQ(HandOver::GetValue("LastContentFile"), fits);
    ASSERT_TRUE(HandOver::SetValue("LastContentFile", QString(600, u'b')));
    QString value = "kept";
    EXPECT_FALSE(HandOver::ReadValue("LastContentFile", value));
    EXPECT_EQ(value, "kept");
}

TEST(HandOver, WithoutRuntimeFolderFallsBackToPrivateTmp)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const QString folder = HandOver::Folder();
    EXPECT_TRUE(folder.startsWith("/tmp/Quorvane-")) << folder.toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    qputenv("XDG_RUNTIME_DIR", saved);
}

TEST(HandOver, RefusesAFolderThatIsALink)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const QString runtime = TestSupport::NewFolder("runtime");
    const QString elsewhere = TestSupport::NewFolder("elsewhere");
    ASSERT_TRUE(QFile::link(elsewhere, runtime + "/Quorvane"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    EXPECT_EQ(HandOver::Folder(), "");
    EXPECT_FALSE(HandOver::SetValue("LastContentFile", "/x"));
    EXPECT_FALSE(QFileInfo::exists(elsewhere + "/KPVantiloq.ini"));
    qputenv("XDG_RUNTIME_DIR", saved);
}
} // namespace
