// The project folder tree and the removal of the bind tool's earlier output.
#include "Ostrelin/model/ProjectFolders.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace
{
using TestSupport::NewFolder;
using TestSupport::WriteFile;

// Every folder below root, relative, sorted.
QStringList FoldersBelow(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

const QStringList kTree = {
    QStringLiteral("convert"),
    QStringLiteral("convert/input"),
    QStringLiteral("convert/input/bmp"),
    QStringLiteral("convert/input/wav"),
    QStringLiteral("convert/input/xml"),
    QStringLiteral("convert/output"),
    QStringLiteral("convert/output/SD"),
    QStringLiteral("convert/output/contents"),
    QStringLiteral("convert/output/query"),
    QStringLiteral("convert/output/title"),
};

TEST(BindModelFoldersTest, FreshFolderGetsTheWholeTreeOnce)
{
    const QString root = NewFolder(QStringLiteral("fresh"));
    const QString project = root + QStringLiteral("/GuideData.olx");
    CreateProjectFolders(project);
    QStringList expected = kTree;
    expected.sort();
    EXPECT_EQ(FoldersBelow(root), expected);
    WriteFile(root + QStringLiteral("/convert/input/xml/TOVKContent.xml"), "x");
    CreateProjectFolders(project);
    EXPECT_EQ(FoldersBelow(root), expected);
    EXPECT_TRUE(QFile::exists(root + QStringLiteral("/convert/input/xml/TOVKContent.xml")));
}

TEST(BindModelFoldersTest, ExistingFoldersInOtherCaseAreUsed)
{
    const QString root = NewFolder(QStringLiteral("mixed"));
    QDir().mkpath(root + QStringLiteral("/Convert/INPUT/Xml"));
    QDir().mkpath(root + QStringLiteral("/Convert/output/sd/private"));
    QDir().mkpath(root + QStringLiteral("/Convert/output/contents/en"));
    CreateProjectFolders(root + QStringLiteral("/GuideData.olx"));
    QStringList expected = {
        QStringLiteral("Convert"),
        QStringLiteral("Convert/INPUT"),
        QStringLiteral("Convert/INPUT/Xml"),
        QStringLiteral("Convert/INPUT/bmp"),
        QStringLiteral("Convert/INPUT/wav"),
        QStringLiteral("Convert/output"),
        QStringLiteral("Convert/output/contents"),
        QStringLiteral("Convert/output/contents/en"),
        QStringLiteral("Convert/output/query"),
        QStringLiteral("Convert/output/sd"),
        QStringLiteral("Convert/output/sd/private"),
        QStringLiteral("Convert/output/title"),
    };
    expected.sort();
    EXPECT_EQ(FoldersBelow(root), expected);
}

TEST(BindModelFoldersTest, NothingWithoutTheProjectFolder)
{
    const QString root = NewFolder(QStringLiteral("cwd"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root));
    WriteFile(root + QStringLiteral("/convert/output/sd/private/kp/app/6D2E7A10/TZM1/a"), "a");
    CreateProjectFolders(QString());
    CreateProjectFolders(QStringLiteral("GuideData.olx"));
    CleanOutputFolders(QString());
    CleanOutputFolders(QStringLiteral("GuideData.olx"));
    CreateProjectFolders(root + QStringLiteral("/missing/GuideData.olx"));
    QDir::setCurrent(previous);
    EXPECT_TRUE(
        QFile::exists(root + QStringLiteral("/convert/output/sd/private/kp/app/6D2E7A10/TZM1/a")));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/convert/input")));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/missing")));
}

class BindModelCleanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = NewFolder(QStringLiteral("clean"));
        project = root + QStringLiteral("/GuideData.olx");
        app = root + QStringLiteral("/convert/output/SD/private/kp/app/6D2E7A10");
    }
    bool Exists(const QString& relative) const { return QFileInfo::exists(app + u'/' + relative); }

    QString root, project, app;
};

TEST_F(BindModelCleanTest, RemovesTzmFoldersAndTheirFilesOnly)
{
    WriteFile(app + QStringLiteral("/TZM001/a.bin"), "a");
    WriteFile(app + QStringLiteral("/TZM001/noext"), "b");
    QDir().mkpath(app + QStringLiteral("/TZM002"));
    WriteFile(app + QStringLiteral("/tzm003/c.dat"), "c");
    WriteFile(app + QStringLiteral("/TZMX.txt"), "keep");
    WriteFile(app + QStringLiteral("/OTHER/d.bin"), "keep");
    WriteFile(app + QStringLiteral("/TZM004/sub/e.bin"), "keep");
    WriteFile(app + QStringLiteral("/TZM004/f.bin"), "f");

    CleanOutputFolders(project);
    EXPECT_FALSE(Exists(QStringLiteral("TZM001")));
    EXPECT_FALSE(Exists(QStringLiteral("TZM002")));
    EXPECT_FALSE(Exists(QStringLiteral("tzm003")));
    EXPECT_TRUE(Exists(QStringLiteral("TZMX.txt")));
    EXPECT_TRUE(Exists(QStringLiteral("OTHER/d.bin")));
    // A subfolder keeps its TZM folder alive; the files beside it are gone.
    EXPECT_TRUE(Exists(QStringLiteral("TZM004/sub/e.bin")));
    EXPECT_FALSE(Exists(QStringLiteral("TZM004/f.bin")));
}

TEST_F(BindModelCleanTest, MissingTreeIsFine)
{
    CleanOutputFolders(project);
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/convert")));
}

TEST_F(BindModelCleanTest, LinkedFolderIsNotFollowed)
{
    const QString outside = NewFolder(QStringLiteral("outside"));
    WriteFile(outside + QStringLiteral("/precious.txt"), "keep");
    QDir().mkpath(app);
    ASSERT_TRUE(QFile::link(outside, app + QStringLiteral("/TZM009")));
    CleanOutputFolders(project);
    EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/precious.txt")));
}
} // namespace
