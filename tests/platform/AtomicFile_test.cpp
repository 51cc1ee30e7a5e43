#include "Printers.h"
#include "common/Planting.h"
#include "common/TestSupport.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

bool InPieces(const QString& path, const QByteArray& bytes, QString* error, FileKind kind)
{
    FileReplacement file(path, kind);
    for (qsizetype at = 0; at < bytes.size(); at += 7)
        file.Write(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(7, bytes.size() - at)));
    return file.Commit(error);
}

// Every way to replace a file whole: each kind in one call, and in pieces.
struct Writer
{
    const char* name;
    bool (*write)(const QString& path, const QByteArray& bytes, QString* error);
};
const Writer kWriters[] = {
    {"ReplaceFile output", [](const QString& path, const QByteArray& bytes, QString* error)
     { return ReplaceFile(path, bytes, error); }},
    {"ReplaceFile document", [](const QString& path, const QByteArray& bytes, QString* error)
     { return ReplaceFile(path, bytes, error, FileKind::Document); }},
    {"FileReplacement in pieces", [](const QString& path, const QByteArray& bytes, QString* error)
     { return InPieces(path, bytes, error, FileKind::Output); }},
    {"document in pieces", [](const QString& path, const QByteArray& bytes, QString* error)
     { return InPieces(path, bytes, error, FileKind::Document); }},
    {"output folder",
     [](const QString& path, const QByteArray& bytes, QString* error)
     {
         const OutputFolder folder(Path::RemoveFileSpec(path));
         return ReplaceFile(folder, Path::FindFileName(path), bytes, error);
     }},
};

TEST(AtomicFile, ReplacesOnlyOnCommit)
{
    for (const FileKind kind : {FileKind::Output, FileKind::Document})
    {
        const QString folder = TestSupport::NewFolder();
        const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
        {
            FileReplacement file(path, kind);
            ASSERT_TRUE(file.Write("new "));
            ASSERT_TRUE(file.Write("bytes"));
            // Until the commit the old file stands, whole.
            EXPECT_EQ(TestSupport::ReadFile(path), "old");
            ASSERT_TRUE(file.Commit());
            ASSERT_TRUE(file.Written());
            EXPECT_EQ(file.Written(), Path::IdentityOf(path));
        }
        EXPECT_EQ(TestSupport::ReadFile(path), "new bytes");
        EXPECT_EQ(Entries(folder), QStringList{"data.xml"});
    }
}

TEST(AtomicFile, AbandonedWriteLeavesOldFileAndNoLitter)
{
    for (const FileKind kind : {FileKind::Output, FileKind::Document})
    {
        const QString folder = TestSupport::NewFolder();
        const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
        {
            FileReplacement file(path, kind);
            ASSERT_TRUE(file.Write(QByteArray(100000, 'x')));
            EXPECT_EQ(Entries(folder).size(), 2);
        }
        EXPECT_EQ(TestSupport::ReadFile(path), "old");
        EXPECT_EQ(Entries(folder), QStringList{"data.xml"});
    }
}

TEST(AtomicFile, WritesThroughTheResolvedName)
{
    for (const Writer& writer : kWriters)
    {
        SCOPED_TRACE(writer.name);
        const QString folder = TestSupport::NewFolder();
        TestSupport::WriteFile(folder + "/Input/XML/TOVKContent.xml", "old");
        if (std::string(writer.name) == "output folder")
        {
            const OutputFolder root(folder);
            const OutputFolder xml(root, "input/xml");
            ASSERT_TRUE(xml.IsOpen());
            ASSERT_TRUE(ReplaceFile(xml, "tovkcontent.XML", "new"));
        }
        else
            ASSERT_TRUE(writer.write(folder + "/input/xml/tovkcontent.XML", "new", nullptr));
        EXPECT_EQ(TestSupport::ReadFile(folder + "/Input/XML/TOVKContent.xml"), "new");
        EXPECT_EQ(Entries(folder + "/Input/XML"), QStringList{"TOVKContent.xml"});
    }
}

TEST(AtomicFile, FailureIsReported)
{
    for (const Writer& writer : kWriters)
    {
        SCOPED_TRACE(writer.name);
        const QString folder = TestSupport::NewFolder();
        QString error;
        EXPECT_FALSE(writer.write(folder + "/no/such/folder/x", "a", &error));
        EXPECT_EQ(error, FileReplacement::ErrorText(ENOENT));
        EXPECT_FALSE(writer.write(folder + "/", "a", nullptr));
        const QString sub = folder + "/sub";
        ASSERT_TRUE(QDir().mkdir(sub));
        EXPECT_FALSE(writer.write(sub, "a", &error));
        EXPECT_EQ(error, FileReplacement::ErrorText(EISDIR));
        EXPECT_TRUE(QFileInfo(sub).isDir());
        EXPECT_EQ(Entries(folder), QStringList{"sub"});
    }
}

// As root too: the write runs as a user without the right to add to the folder.
TEST(AtomicFile, ReadOnlyFolderLeavesTheOldFile)
{
    const QString folder = TestSupport::NewFolder();
    const QString locked = folder + "/locked";
    const QString path = TestSupport::WriteFile(locked + "/data.xml", "old");
    const int fd = ::open(Native(locked).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::chmod(Native(locked).constData(), 0555), 0);
    for (const Writer& writer : kWriters)
    {
        SCOPED_TRACE(writer.name);
        const auto attempt = [&](const QString& at)
        {
            QString error;
            const bool written = writer.write(at + "/data.xml", "new", &error);
            return written ? 1 : error == FileReplacement::ErrorText(EACCES) ? 0 : 2;
        };
        // Past the private folders above it, straight into the folder held open.
        const QString reach = QStringLiteral("/proc/self/fd/%1").arg(fd);
        int outcome = TestSupport::RunAsUser(65534, [&] { return attempt(reach); });
        if (outcome < 0)
            outcome = attempt(locked);
        EXPECT_EQ(outcome, 0) << "1: written, 2: another reason";
        EXPECT_EQ(TestSupport::ReadFile(path), "old");
        EXPECT_EQ(Entries(locked), QStringList{"data.xml"});
    }
    ::close(fd);
    ::chmod(Native(locked).constData(), 0755);
}

// A write that the disk cuts short (here a file-size limit, which binds root too) must fail
// the commit, with the system's reason.
TEST(AtomicFile, ShortWriteFailsAndLeavesTheOldFile)
{
    for (const Writer& writer : kWriters)
    {
        SCOPED_TRACE(writer.name);
        const QString folder = TestSupport::NewFolder();
        const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
        QString error;
        bool written = false;
        {
            const TestSupport::FileSizeLimit limit(32);
            ASSERT_TRUE(limit.IsSet());
            written = writer.write(path, QByteArray(1000, 'x'), &error);
        }
        EXPECT_FALSE(written);
        EXPECT_EQ(error, FileReplacement::ErrorText(EFBIG));
        EXPECT_EQ(TestSupport::ReadFile(path), "old");
        EXPECT_EQ(Entries(folder), QStringList{"data.xml"});
    }
}

// The old file leaves its name only: another name of it keeps it as it was.
TEST(AtomicFile, AnotherLinkToTheOldFileKeepsIt)
{
    for (const Writer& writer : kWriters)
    {
        SCOPED_TRACE(writer.name);
        const QString folder = TestSupport::NewFolder();
        const QString path = TestSupport::WriteFile(folder + "/data.xml", "old");
        ASSERT_EQ(::link(Native(path).constData(), Native(folder + "/other.xml").constData()), 0);
        ASSERT_TRUE(writer.write(path, "new", nullptr));
        EXPECT_EQ(TestSupport::ReadFile(path), "new");
        EXPECT_EQ(TestSupport::ReadFile(folder + "/other.xml"), "old");
        EXPECT_EQ(Entries(folder), (QStringList{"data.xml", "other.xml"}));
    }
}

// What lies at the name, against the two kinds of file. An output replaces the entry and
// never opens it; a document is written to the regular file a link names and refuses
// anything else. Nothing else outside the folder ever changes.
TEST(AtomicFile, WhatLiesAtTheNameMeetsTheRuleOfItsKind)
{
    using namespace Planting;
    enum Expect
    {
        Replaced,    // a regular file with the new bytes at the name
        ThroughLink, // the link stays; the file it names holds the new bytes
        Refused,     // the write fails, the entry stays as it was
    };
    struct Case
    {
        const char* name;
        Planted planted;
        Expect output;
        Expect document;
    };
    const Case cases[] = {
        {"plain file", PlainFile, Replaced, Replaced},
        {"link to a file outside", LinkOutside, Replaced, ThroughLink},
        {"dangling link", DanglingLink, Replaced, ThroughLink},
        {"link to a device node", LinkToDevice, Replaced, Refused},
        {"pipe", Fifo, Replaced, Refused},
        {"folder", FolderAtName, Refused, Refused},
    };
    for (const Case& c : cases)
        for (const FileKind kind : {FileKind::Output, FileKind::Document})
        {
            const bool document = kind == FileKind::Document;
            SCOPED_TRACE(std::string(c.name) + (document ? ", document" : ", output"));
            const QString root = TestSupport::NewFolder();
            const QString folder = root + "/out";
            const QString outside = root + "/outside";
            ASSERT_TRUE(QDir().mkpath(folder));
            ASSERT_TRUE(QDir().mkpath(outside));
            const QString victim = TestSupport::WriteFile(outside + "/victim", "PRECIOUS");
            const QString target = folder + "/PIC.vcl";
            QString named; // where a document's bytes go
            if (!Plant(c.planted, target, outside, named))
            {
                // Only this row needs the right to make device nodes.
                std::cout << "[ SKIPPED ] " << c.name << ": " << strerror(errno) << '\n';
                continue;
            }
            QStringList outsideBefore = Entries(outside);
            QString error;
            const bool written = ReplaceFile(target, "new", &error, kind);
            const Expect expect = document ? c.document : c.output;
            EXPECT_EQ(written, expect != Refused) << error.toStdString();
            switch (expect)
            {
            case Replaced:
                EXPECT_FALSE(QFileInfo(target).isSymLink());
                EXPECT_TRUE(QFileInfo(target).isFile());
                EXPECT_EQ(TestSupport::ReadFile(target), "new");
                break;
            case ThroughLink:
                EXPECT_TRUE(QFileInfo(target).isSymLink());
                EXPECT_EQ(TestSupport::ReadFile(named), "new");
                if (c.planted == DanglingLink)
                    outsideBefore.append("missing");
                break;
            case Refused:
                EXPECT_FALSE(error.isEmpty());
                if (c.planted == Fifo)
                {
                    struct stat st;
                    ASSERT_EQ(lstat(Native(target).constData(), &st), 0);
                    EXPECT_TRUE(S_ISFIFO(st.st_mode));
                }
                break;
            }
            if (named != victim || expect != ThroughLink)
            {
                EXPECT_EQ(TestSupport::ReadFile(victim), "PRECIOUS");
            }
            outsideBefore.sort();
            EXPECT_EQ(Entries(outside), outsideBefore);
            if (c.planted == LinkToDevice)
            {
                struct stat st;
                ASSERT_EQ(lstat(Native(outside + "/null").constData(), &st), 0);
                EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the node is still a device";
            }
            EXPECT_EQ(Entries(folder), QStringList{"PIC.vcl"}) << "nothing left beside it";
        }
}

// The author's document keeps what the file it replaces had: permissions, and the owner
// where the system allows it.
TEST(AtomicFile, ADocumentKeepsItsPermissionsAndOwner)
{
    const QString folder = TestSupport::NewFolder();
    const QString path = TestSupport::WriteFile(folder + "/project.olx", "old");
    ASSERT_EQ(::chmod(Native(path).constData(), 0640), 0);
    const bool root = geteuid() == 0;
    if (root)
    {
        ASSERT_EQ(::chown(Native(path).constData(), 4321, 4322), 0);
    }
    ASSERT_TRUE(ReplaceFile(path, "new", nullptr, FileKind::Document));
    struct stat st;
    ASSERT_EQ(::stat(Native(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root)
    {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
    }
    EXPECT_EQ(TestSupport::ReadFile(path), "new");
}

// What killed saves left beside a document goes at its next save; a save still running,
// and the files of other names, stay.
TEST(AtomicFile, ADocumentSaveRemovesWhatKilledSavesLeft)
{
    const QString folder = TestSupport::NewFolder();
    const QString path = TestSupport::WriteFile(folder + "/TOVKContent.xml", "old");
    for (const char* left : {"TOVKContent.xml.new-3k9z0a", "TOVKContent.xml.new-1"})
        TestSupport::WriteFile(folder + '/' + left, "cut");
    const QStringList kept = {"TOVKContent.xml.new-LIVE", "TOVKContent.xml.new-live",
                              "other.xml.new-abc", "TOVKContent.xml.new-"};
    for (const QString& name : kept)
        TestSupport::WriteFile(folder + '/' + name, "other");
    const int live = ::open(Native(folder + "/TOVKContent.xml.new-live").constData(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    // An output is no document: nothing beside it is touched.
    ASSERT_TRUE(ReplaceFile(path, "output"));
    EXPECT_EQ(Entries(folder).size(), 7);
    ASSERT_TRUE(ReplaceFile(path, "new", nullptr, FileKind::Document));
    ::close(live);
    QStringList expected = kept;
    expected.append("TOVKContent.xml");
    expected.sort();
    EXPECT_EQ(Entries(folder), expected);
    EXPECT_EQ(TestSupport::ReadFile(path), "new");
}

// A folder inside the folder the program was given is opened inside it: a link there is
// refused and named, never followed.
TEST(OutputFolder, ALinkAsAFolderInsideIsRefusedAndNamed)
{
    const QString root = TestSupport::NewFolder();
    const QString elsewhere = root + "/elsewhere";
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QDir().mkpath(root + "/given/output/contents"));
    ASSERT_TRUE(QFile::link(elsewhere, root + "/given/output/contents/en"));
    // The given folder itself may be reached through a link: the user named it.
    ASSERT_TRUE(QFile::link(root + "/given", root + "/named"));
    const OutputFolder given(root + "/named");
    ASSERT_TRUE(given.IsOpen());
    const OutputFolder en(given, "output/contents/en");
    EXPECT_FALSE(en.IsOpen());
    EXPECT_EQ(en.Error(), ENOTDIR);
    EXPECT_EQ(en.Folder(), root + "/named/output/contents/en");
    QString error;
    EXPECT_FALSE(ReplaceFile(en, "x.xml", "new", &error));
    EXPECT_EQ(error, FileReplacement::ErrorText(ENOTDIR));
    EXPECT_TRUE(Entries(elsewhere).isEmpty());

    const OutputFolder contents(given, "OUTPUT/Contents");
    ASSERT_TRUE(contents.IsOpen()) << "letter case is looked up as everywhere";
    ASSERT_TRUE(ReplaceFile(contents, "a.bin", "a"));
    EXPECT_EQ(TestSupport::ReadFile(root + "/given/output/contents/a.bin"), "a");
}

// Names are spelt as the folder spells them, from one listing and what the folder object
// made since.
TEST(OutputFolder, NamesAreSpeltAsTheFolderHoldsThem)
{
    const QString root = TestSupport::NewFolder();
    TestSupport::WriteFile(root + "/ENQ_00.xml", "old");
    const OutputFolder folder(root);
    ASSERT_TRUE(ReplaceFile(folder, "enq_00.XML", "new"));
    ASSERT_TRUE(ReplaceFile(folder, "Fresh.csv", "1"));
    ASSERT_TRUE(ReplaceFile(folder, "FRESH.CSV", "2"));
    EXPECT_EQ(Entries(root), (QStringList{"ENQ_00.xml", "Fresh.csv"}));
    EXPECT_EQ(TestSupport::ReadFile(root + "/ENQ_00.xml"), "new");
    EXPECT_EQ(TestSupport::ReadFile(root + "/Fresh.csv"), "2");
    EXPECT_TRUE(folder.Remove("fresh.csv"));
    EXPECT_EQ(Entries(root), QStringList{"ENQ_00.xml"});
}
} // namespace
