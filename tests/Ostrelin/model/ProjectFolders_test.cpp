// The project folder tree and the last output an output holds aside.
#include "Ostrelin/model/ProjectFolders.h"
#include "Ostrelin/res/Strings.h"
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
    for (const QString& path : {QString(), QStringLiteral("GuideData.olx")})
    {
        CLastOutput last(path);
        last.Recover();
        QString error;
        EXPECT_FALSE(last.MoveAside(&error));
    }
    CreateProjectFolders(root + QStringLiteral("/missing/GuideData.olx"));
    QDir::setCurrent(previous);
    EXPECT_TRUE(
        QFile::exists(root + QStringLiteral("/convert/output/sd/private/kp/app/6D2E7A10/TZM1/a")));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/convert/input")));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/missing")));
}

class BindModelLastOutputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The title files are named by the language codes of the string table.
        Strings::Install(OstrelinStringsJA());
        root = NewFolder(QStringLiteral("last"));
        project = root + QStringLiteral("/GuideData.olx");
        app = root + QStringLiteral("/convert/output/SD/private/kp/app/6D2E7A10");
        title = root + QStringLiteral("/convert/output/title");
    }
    bool Exists(const QString& relative) const { return QFileInfo::exists(app + u'/' + relative); }

    QString root, project, app, title;
};

TEST_F(BindModelLastOutputTest, AKeptOutputTakesTheBindToolsFoldersAndTheTitlesOnly)
{
    WriteFile(app + QStringLiteral("/TZM001/a.bin"), "a");
    WriteFile(app + QStringLiteral("/TZM001/noext"), "b");
    QDir().mkpath(app + QStringLiteral("/TZM002"));
    WriteFile(app + QStringLiteral("/tzm003/c.dat"), "c");
    WriteFile(app + QStringLiteral("/TZMX.txt"), "keep");
    WriteFile(app + QStringLiteral("/OTHER/d.bin"), "keep");
    // Held whole, so a folder of the bind tool's goes whole.
    WriteFile(app + QStringLiteral("/TZM004/sub/e.bin"), "e");
    WriteFile(app + QStringLiteral("/TZM004/f.bin"), "f");
    WriteFile(title + QStringLiteral("/RJP000.BIN"), "title");
    WriteFile(title + QStringLiteral("/rkr000.bin"), "title");
    WriteFile(title + QStringLiteral("/RXX000.BIN"), "keep");

    CLastOutput last(project);
    QString error;
    ASSERT_TRUE(last.MoveAside(&error)) << error.toStdString();
    last.Keep();
    for (const char* gone : {"TZM001", "TZM002", "tzm003", "TZM004"})
        EXPECT_FALSE(Exists(QString::fromLatin1(gone))) << gone;
    EXPECT_TRUE(Exists(QStringLiteral("TZMX.txt")));
    EXPECT_TRUE(Exists(QStringLiteral("OTHER/d.bin")));
    EXPECT_FALSE(QFileInfo::exists(title + QStringLiteral("/RJP000.BIN")));
    EXPECT_FALSE(QFileInfo::exists(title + QStringLiteral("/rkr000.bin")));
    EXPECT_TRUE(QFileInfo::exists(title + QStringLiteral("/RXX000.BIN")));
}

TEST_F(BindModelLastOutputTest, MissingTreeIsFine)
{
    CLastOutput last(project);
    QString error;
    EXPECT_TRUE(last.MoveAside(&error));
    last.Keep();
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/convert")));
}

TEST_F(BindModelLastOutputTest, LinkedFolderIsNotFollowed)
{
    const QString outside = NewFolder(QStringLiteral("outside"));
    WriteFile(outside + QStringLiteral("/precious.txt"), "keep");
    QDir().mkpath(app);
    ASSERT_TRUE(QFile::link(outside, app + QStringLiteral("/TZM009")));
    CLastOutput last(project);
    QString error;
    ASSERT_TRUE(last.MoveAside(&error));
    last.Keep();
    EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/precious.txt")));
    EXPECT_TRUE(QFileInfo(app + QStringLiteral("/TZM009")).isSymLink());
}

// An output that does not go through leaves the card tree and the titles as they were.
TEST_F(BindModelLastOutputTest, AnOutputNotKeptLeavesTheLastOneAsItWas)
{
    WriteFile(app + QStringLiteral("/TZM00000/LANG.TXT"), "JP");
    WriteFile(app + QStringLiteral("/TZM00001/CJP00001.bin"), "work");
    WriteFile(title + QStringLiteral("/RJP000.BIN"), "title");
    const auto card = TestSupport::TreeOf(root + QStringLiteral("/convert"));
    {
        CLastOutput last(project);
        QString error;
        ASSERT_TRUE(last.MoveAside(&error));
        EXPECT_FALSE(Exists(QStringLiteral("TZM00000")));
        EXPECT_FALSE(QFileInfo::exists(title + QStringLiteral("/RJP000.BIN")));
        WriteFile(app + QStringLiteral("/TZM00000/LANG.TXT"), "partial");
        WriteFile(app + QStringLiteral("/TZM00002/x"), "partial");
        WriteFile(title + QStringLiteral("/RJP000.BIN"), "partial");
    }
    EXPECT_EQ(TestSupport::TreeOf(root + QStringLiteral("/convert")), card);
}
TEST(ProjectTree, EveryFolderAndDefaultFileLiesBelowTheProjectFilesFolder)
{
    struct Case
    {
        QString path;
        QString expected;
    };
    const CProjectTree tree(QStringLiteral("/data/Guide/GuideData.olx"));
    const Case cases[] = {
        {tree.ProjectFolder(), "/data/Guide"},
        {tree.ConvertFolder(), "/data/Guide/convert"},
        {tree.BmpFolder(), "/data/Guide/convert/input/bmp"},
        {tree.XmlFolder(), "/data/Guide/convert/input/xml"},
        {tree.ContentsFolder(), "/data/Guide/convert/output/contents"},
        {tree.QueryFolder(), "/data/Guide/convert/output/query"},
        {tree.TitleFolder(), "/data/Guide/convert/output/title"},
        {tree.SdFolder(), "/data/Guide/convert/output/SD"},
        {tree.SdAppFolder(), "/data/Guide/convert/output/SD/private/kp/app/6D2E7A10"},
        {tree.ContentXml(), "/data/Guide/convert/input/xml/TOVKContent.xml"},
        {tree.QueryXml(), "/data/Guide/convert/input/xml/TOVKQuery.xml"},
        // A project file in the root: one separator, never two.
        {CProjectTree(QStringLiteral("/Guide.olx")).ConvertFolder(), "/convert"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.path, c.expected);
}

} // namespace
