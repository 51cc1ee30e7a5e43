#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/SetAside.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using TestSupport::NewFolder;
using TestSupport::TreeOf;
using TestSupport::WriteFile;

// A folder of an earlier run's entries among others that are not the run's: a file and a
// folder whose names do not match, a matching name of the other kind, and a matching link.
struct Scene
{
    Scene(SetAside::Kind kind) : kind(kind)
    {
        const QString root = NewFolder(QStringLiteral("aside"));
        folder = root + QStringLiteral("/6D2E7A10");
        outside = NewFolder(QStringLiteral("outside"));
        WriteFile(outside + QStringLiteral("/precious.txt"), "keep");
        WriteFile(folder + QStringLiteral("/OTHER/d.bin"), "other");
        WriteFile(folder + QStringLiteral("/NOTES.txt"), "notes");
        if (kind == SetAside::Kind::Folders)
        {
            patterns = {QStringLiteral("TZM*")};
            WriteFile(folder + QStringLiteral("/TZM001/a.bin"), "a");
            WriteFile(folder + QStringLiteral("/TZM001/sub/b.bin"), "b");
            QDir().mkpath(folder + QStringLiteral("/tzm002"));
            WriteFile(folder + QStringLiteral("/TZMX.txt"), "a file, not a folder");
            QFile::link(outside, folder + QStringLiteral("/TZM009"));
            run = QStringLiteral("TZM001/new.bin");
        }
        else
        {
            patterns = {QStringLiteral("RJP000.BIN"), QStringLiteral("REN000.BIN")};
            WriteFile(folder + QStringLiteral("/RJP000.BIN"), "jp title");
            WriteFile(folder + QStringLiteral("/ren000.bin"), "en title");
            QDir().mkpath(folder + QStringLiteral("/REN000.BIN.d"));
            QFile::link(outside + QStringLiteral("/precious.txt"),
                        folder + QStringLiteral("/REN000.BIN"));
            run = QStringLiteral("RJP000.BIN");
        }
        before = TreeOf(folder);
        outsideBefore = TreeOf(outside);
    }

    // What the folder holds that is not the run's.
    QMap<QString, QByteArray> Others() const
    {
        QMap<QString, QByteArray> others;
        for (auto it = before.begin(); it != before.end(); ++it)
        {
            const QString top = it.key().section(u'/', 0, 0);
            const bool ran =
                kind == SetAside::Kind::Folders
                    ? top.startsWith(QStringLiteral("TZM"), Qt::CaseInsensitive) &&
                          top != QStringLiteral("TZMX.txt") && top != QStringLiteral("TZM009")
                    : top == QStringLiteral("RJP000.BIN") || top == QStringLiteral("ren000.bin");
            if (!ran)
                others.insert(it.key(), it.value());
        }
        return others;
    }

    // None of the folders of the set-aside's states is left beside the folder.
    void ExpectNothingBeside(const SetAside& aside) const
    {
        for (const QString& beside : {aside.HoldingFolder(), aside.MovingFolder(),
                                      aside.RestoringFolder(), aside.DiscardFolder()})
            EXPECT_FALSE(QFileInfo::exists(beside)) << beside.toStdString();
        EXPECT_EQ(TreeOf(outside), outsideBefore);
    }

    SetAside::Kind kind;
    QString folder, outside, run;
    QStringList patterns;
    QMap<QString, QByteArray> before, outsideBefore;
};

class SetAsideKinds : public ::testing::TestWithParam<SetAside::Kind>
{
};

TEST_P(SetAsideKinds, AKeptRunReplacesTheOldEntriesAndNothingElse)
{
    Scene scene(GetParam());
    SetAside aside(scene.folder, scene.patterns, scene.kind);
    ASSERT_TRUE(aside.Move());
    // The run sees none of the old entries.
    EXPECT_EQ(TreeOf(scene.folder), scene.Others());
    WriteFile(scene.folder + u'/' + scene.run, "new");
    aside.Discard();
    QMap<QString, QByteArray> expected = scene.Others();
    expected.insert(scene.run, "new");
    if (scene.run.contains(u'/'))
        expected.insert(scene.run.section(u'/', 0, 0), "<folder>");
    EXPECT_EQ(TreeOf(scene.folder), expected);
    scene.ExpectNothingBeside(aside);
}

TEST_P(SetAsideKinds, AFailedRunGetsTheOldEntriesBackWhole)
{
    Scene scene(GetParam());
    for (const bool explicitly : {true, false})
    {
        SCOPED_TRACE(explicitly ? "put back" : "left to the destructor");
        {
            SetAside aside(scene.folder, scene.patterns, scene.kind);
            ASSERT_TRUE(aside.Move());
            WriteFile(scene.folder + u'/' + scene.run, "partial");
            WriteFile(scene.folder + QStringLiteral("/TZM777/x"), "partial");
            WriteFile(scene.folder + QStringLiteral("/REN000.BIN.d/x"), "not the run's");
            if (explicitly)
            {
                EXPECT_TRUE(aside.Restore());
            }
        }
        QMap<QString, QByteArray> expected = scene.before;
        expected.insert(QStringLiteral("REN000.BIN.d/x"), "not the run's");
        if (scene.kind == SetAside::Kind::Files)
        {
            expected.insert(QStringLiteral("TZM777"), "<folder>");
            expected.insert(QStringLiteral("TZM777/x"), "partial");
        }
        else
            expected.insert(QStringLiteral("REN000.BIN.d"), "<folder>");
        EXPECT_EQ(TreeOf(scene.folder), expected);
        scene.ExpectNothingBeside(SetAside(scene.folder, scene.patterns, scene.kind));
        QFile::remove(scene.folder + QStringLiteral("/REN000.BIN.d/x"));
        QDir(scene.folder + QStringLiteral("/TZM777")).removeRecursively();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SetAsideKinds,
                         ::testing::Values(SetAside::Kind::Folders, SetAside::Kind::Files));

// Each state a killed run can leave, made as the steps leave it, and what the next run's
// Recover makes of it.
TEST(SetAside, WhateverAKilledRunLeftTheNextRunPutsBack)
{
    using Step = std::function<void(const Scene&, const SetAside&)>;
    const auto move = [](const QString& from, const QString& to)
    {
        QDir().mkpath(QFileInfo(to).path());
        ASSERT_TRUE(QDir().rename(from, to)) << from.toStdString();
    };
    struct Case
    {
        const char* name;
        Step crash;
        bool runKept; // the folder then holds the run's entries, not the old ones
    };
    const Case cases[] = {
        {"while moving aside",
         [&](const Scene& s, const SetAside& a)
         { move(s.folder + "/TZM001", a.MovingFolder() + "/TZM001"); },
         false},
        {"during the run",
         [&](const Scene& s, const SetAside& a)
         {
             move(s.folder + "/TZM001", a.HoldingFolder() + "/TZM001");
             move(s.folder + "/tzm002", a.HoldingFolder() + "/tzm002");
             WriteFile(s.folder + "/TZM001/partial", "partial");
             WriteFile(s.folder + "/TZM003/partial", "partial");
         },
         false},
        {"while the failed run's entries are removed",
         [&](const Scene& s, const SetAside& a)
         {
             move(s.folder + "/TZM001", a.HoldingFolder() + "/TZM001");
             move(s.folder + "/tzm002", a.HoldingFolder() + "/tzm002");
             WriteFile(a.DiscardFolder() + "/TZM001/partial", "partial");
             WriteFile(s.folder + "/TZM003/partial", "partial");
         },
         false},
        {"while putting back",
         [&](const Scene& s, const SetAside& a)
         { move(s.folder + "/tzm002", a.RestoringFolder() + "/tzm002"); },
         false},
        {"while the kept run's old entries are removed",
         [&](const Scene& s, const SetAside& a)
         {
             move(s.folder + "/TZM001", a.DiscardFolder() + "/TZM001");
             move(s.folder + "/tzm002", a.DiscardFolder() + "/tzm002");
             WriteFile(s.folder + "/TZM001/new.bin", "new");
         },
         true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Scene scene(SetAside::Kind::Folders);
        SetAside aside(scene.folder, scene.patterns, scene.kind);
        c.crash(scene, aside);
        const QMap<QString, QByteArray> left = TreeOf(scene.folder);
        EXPECT_TRUE(aside.Recover());
        EXPECT_EQ(TreeOf(scene.folder), c.runKept ? left : scene.before);
        scene.ExpectNothingBeside(aside);
    }
}

TEST(SetAside, ANameTakenBesideTheFolderMovesNothing)
{
    const struct
    {
        const char* name;
        std::function<void(const SetAside&, const QString& outside)> plant;
    } cases[] = {
        {"a file where the entries would go",
         [](const SetAside& a, const QString&) { WriteFile(a.MovingFolder(), "planted"); }},
        {"a link to elsewhere as the holding folder", [](const SetAside& a, const QString& outside)
         { ASSERT_TRUE(QFile::link(outside, a.HoldingFolder())); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Scene scene(SetAside::Kind::Folders);
        SetAside aside(scene.folder, scene.patterns, scene.kind);
        c.plant(aside, scene.outside);
        QString error;
        EXPECT_FALSE(aside.Move(&error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(TreeOf(scene.folder), scene.before);
        EXPECT_EQ(TreeOf(scene.outside), scene.outsideBefore);
        EXPECT_FALSE(QFileInfo::exists(aside.MovingFolder()) &&
                     QFileInfo(aside.MovingFolder()).isDir());
        // Nothing was begun, so nothing is put back or removed at the end.
        aside.Discard();
        EXPECT_EQ(TreeOf(scene.folder), scene.before);
    }
}
} // namespace

// The data files of one language folder, as the content editor's output holds them.
namespace
{
class SetAsideTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_parent = TestSupport::NewFolder(QStringLiteral("contents"));
        m_folder = m_parent + QStringLiteral("/en");
        TestSupport::WriteFile(m_folder + "/CEN00001.bin", "old one");
        TestSupport::WriteFile(m_folder + "/CEN00002.BIN", "old two");
        TestSupport::WriteFile(m_folder + "/notes.txt", "not data");
    }

    QStringList Listing(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                      QDir::Name | QDir::IgnoreCase);
    }
    bool OldDataBack() const
    {
        return TestSupport::ReadFile(m_folder + "/CEN00001.bin") == "old one" &&
               TestSupport::ReadFile(m_folder + "/CEN00002.BIN") == "old two" &&
               TestSupport::ReadFile(m_folder + "/notes.txt") == "not data";
    }
    // What a run writes: one file of the old names, one new.
    void RunWrites()
    {
        TestSupport::WriteFile(m_folder + "/CEN00001.bin", "new");
        TestSupport::WriteFile(m_folder + "/CEN00003.bin", "new");
    }

    QString m_parent, m_folder;
};

TEST_F(SetAsideTest, TheOldFilesWaitAsideAndGoOrComeBackWithTheRunsOutcome)
{
    const struct
    {
        const char* name;
        int end; // 0 Discard, 1 Restore, 2 neither (the holder ends)
        QStringList left;
    } cases[] = {
        {"succeeded", 0, {"CEN00001.bin", "CEN00003.bin", "notes.txt"}},
        {"failed", 1, {"CEN00001.bin", "CEN00002.BIN", "notes.txt"}},
        {"said nothing", 2, {"CEN00001.bin", "CEN00002.BIN", "notes.txt"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetUp();
        const QString aside = m_parent + "/.en.aside";
        EXPECT_EQ(SetAside::AsideFolderOf(m_folder), aside);
        {
            SetAside old(m_folder, QStringLiteral("*.bin"));
            ASSERT_TRUE(old.Move());
            // The run sees a folder without data files.
            EXPECT_EQ(Listing(m_folder), QStringList{"notes.txt"});
            EXPECT_EQ(Listing(aside), (QStringList{"CEN00001.bin", "CEN00002.BIN"}));
            RunWrites();
            if (c.end == 0)
                old.Discard();
            else if (c.end == 1)
                old.Restore();
        }
        EXPECT_EQ(Listing(m_folder), c.left);
        EXPECT_EQ(Listing(m_parent), QStringList{"en"});
        if (c.end == 0)
            EXPECT_EQ(TestSupport::ReadFile(m_folder + "/CEN00001.bin"), "new");
        else
            EXPECT_TRUE(OldDataBack());
    }
}

// Killed between the move and its end: the next run finds the old files aside and puts them
// back; killed while they were being discarded, the discard is finished.
TEST_F(SetAsideTest, WhatAKilledRunLeftAsideIsRecovered)
{
    for (const bool discarding : {false, true})
    {
        SCOPED_TRACE(discarding ? "killed while discarding" : "killed while running");
        SetUp();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            SetAside old(m_folder, QStringLiteral("*.bin"));
            if (!old.Move())
                ::_exit(1);
            RunWrites();
            if (discarding)
                ::rename(QFile::encodeName(m_parent + "/.en.aside").constData(),
                         QFile::encodeName(m_parent + "/.en.discard").constData());
            ::kill(::getpid(), SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(Listing(m_parent), (QStringList{discarding ? ".en.discard" : ".en.aside", "en"}));

        SetAside::Recover(m_folder, QStringLiteral("*.bin"));
        EXPECT_EQ(Listing(m_parent), QStringList{"en"});
        if (discarding)
            EXPECT_EQ(Listing(m_folder),
                      (QStringList{"CEN00001.bin", "CEN00003.bin", "notes.txt"}));
        else
        {
            EXPECT_EQ(Listing(m_folder),
                      (QStringList{"CEN00001.bin", "CEN00002.BIN", "notes.txt"}));
            EXPECT_TRUE(OldDataBack());
        }
    }
}

// Someone else's entry at the hidden name is never moved into or followed: the move fails
// with the files in place, and the recovery takes the entry away without touching its target.
TEST_F(SetAsideTest, APlantedEntryAtTheHiddenNameIsNotFollowed)
{
    const QString elsewhere = TestSupport::NewFolder(QStringLiteral("elsewhere"));
    TestSupport::WriteFile(elsewhere + "/CEN00001.bin", "theirs");
    const QString aside = m_parent + "/.en.aside";
    for (const bool link : {true, false})
    {
        SCOPED_TRACE(link ? "a link" : "a file");
        if (link)
            ASSERT_TRUE(QFile::link(elsewhere, aside));
        else
            TestSupport::WriteFile(aside, "x");
        {
            SetAside old(m_folder, QStringLiteral("*.bin"));
            EXPECT_FALSE(old.Move());
        }
        EXPECT_TRUE(OldDataBack());
        SetAside::Recover(m_folder, QStringLiteral("*.bin"));
        EXPECT_FALSE(QFileInfo::exists(aside) || QFileInfo(aside).isSymLink());
        EXPECT_TRUE(OldDataBack());
        EXPECT_EQ(Listing(elsewhere), QStringList{"CEN00001.bin"});
        EXPECT_EQ(TestSupport::ReadFile(elsewhere + "/CEN00001.bin"), "theirs");
    }
}
} // namespace
