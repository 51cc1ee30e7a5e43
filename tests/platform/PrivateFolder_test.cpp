#include "common/TestSupport.h"
#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
unsigned Mode(const QString& path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 0777) : 0xFFFF;
}

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

TEST(PrivateFolder, MadeOrClosedToOthers)
{
    struct Case
    {
        const char* name;
        std::function<void(const QString&)> prepare;
    };
    const Case cases[] = {
        {"missing", [](const QString&) {}},
        {"open to others",
         [](const QString& path)
         {
             ASSERT_TRUE(QDir().mkdir(path));
             ASSERT_EQ(chmod(Native(path).constData(), 0777), 0);
         }},
        {"already private",
         [](const QString& path) {
             ASSERT_TRUE(
                 QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString path = TestSupport::NewFolder("made") + "/private";
        c.prepare(path);
        EXPECT_TRUE(MakePrivateFolder(path));
        EXPECT_EQ(Mode(path), 0700u);
        EXPECT_TRUE(MakePrivateFolder(path));
    }
}

TEST(PrivateFolder, RefusesWhatIsNotOursAlone)
{
    const QString target = TestSupport::NewFolder("target");
    ASSERT_EQ(chmod(Native(target).constData(), 0777), 0);
    struct Case
    {
        const char* name;
        // Prepares the entry below `base` and names the path to ask for.
        std::function<QString(const QString& base)> prepare;
    };
    const Case cases[] = {
        {"link to a folder",
         [&](const QString& base)
         {
             EXPECT_TRUE(QFile::link(target, base + "/private"));
             return base + "/private";
         }},
        {"file",
         [](const QString& base) { return TestSupport::WriteFile(base + "/private", "x"); }},
        {"parent missing", [](const QString& base) { return base + "/gone/private"; }},
        {"no name", [](const QString&) { return QString(); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(MakePrivateFolder(c.prepare(TestSupport::NewFolder("unsafe"))));
    }
    // A link is not followed: its target keeps its mode.
    EXPECT_EQ(Mode(target), 0777u);
}

TEST(PrivateFolder, RefusesAnotherUsersFolder)
{
    const QString path = TestSupport::NewFolder("owner") + "/private";
    ASSERT_TRUE(QDir().mkdir(path));
    ASSERT_EQ(chmod(Native(path).constData(), 0700), 0);
    if (chown(Native(path).constData(), getuid() + 1, getgid()) != 0)
        GTEST_SKIP() << "only a privileged user can give a folder away";
    EXPECT_FALSE(MakePrivateFolder(path));
}
} // namespace
