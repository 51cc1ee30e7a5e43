// Files a run replaces wait in a hidden folder beside theirs: gone when the run succeeded,
// back byte for byte when it failed, back at the next run when the last one was killed.
#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/SetAside.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
