#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/AtomicFile.h"
#include "platform/Path.h"
#include "platform/RegularFileDevice.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{
TEST(Path, StringHelpers)
{
    struct Case
    {
        QString got;
        QString expected;
    };
    const Case cases[] = {
        {Path::Append("/a", "b"), "/a/b"},
        {Path::Append("/a/", "b"), "/a/b"},
        {Path::Append("/tmp/q", "\\VantiloqTools"), "/tmp/q/VantiloqTools"},
        {Path::Append("/a", "b\\c.txt"), "/a/b/c.txt"},
        {Path::Append("", "b"), "b"},
        {Path::Append("/a", ""), "/a"},
        {Path::Append("/", "x"), "/x"},
        {Path::Append("/p", "./convert/output/sd"), "/p/convert/output/sd"},
        {Path::Append("/p/q", "..\\x/./y/"), "/p/x/y/"},
        {Path::Append("", "./convert"), "convert"},
        {Path::Append("/p", ".hidden/..x"), "/p/.hidden/..x"},
        {Path::QuoteSpaces("/a b/c"), "\"/a b/c\""},
        {Path::QuoteSpaces("/ab/c"), "/ab/c"},
        {Path::QuoteSpaces("\"/a b\""), "\"/a b\""},
        {Path::UnquoteSpaces("\"a b\""), "a b"},
        {Path::UnquoteSpaces("\"a b"), "\"a b"},
        {Path::UnquoteSpaces("\""), "\""},
        {Path::UnquoteSpaces("\"\"x\"\""), "\"x\""},
        {Path::RemoveFileSpec("/a/b.txt"), "/a"},
        {Path::RemoveFileSpec("/a"), "/"},
        {Path::RemoveFileSpec("b.txt"), ""},
        {Path::RemoveFileSpec("c:\\x\\y.bmp"), "c:/x"},
        {Path::FindFileName("/a/b.txt"), "b.txt"},
        {Path::FindFileName("b.txt"), "b.txt"},
        {Path::FindFileName("/a/"), ""},
        {Path::FindExtension("/a.d/b.c.TXT"), ".TXT"},
        {Path::FindExtension("/a.d/b"), ""},
        // A blank after the last dot ends the extension: "b.c d" has none.
        {Path::FindExtension("/a/b.c d"), ""},
        {Path::FindExtension("/a/b c.txt"), ".txt"},
        {Path::RemoveExtension("/a/b.c d"), "/a/b.c d"},
        {Path::RemoveExtension("/a.d/b.c.txt"), "/a.d/b.c"},
        {Path::RemoveExtension("/a.d/b"), "/a.d/b"},
        {Path::RenameExtension("/x/TOVKContent.xml", ".bak"), "/x/TOVKContent.bak"},
        {Path::RenameExtension("/x.y/file", ".bin"), "/x.y/file.bin"},
        {Path::RemoveBackslash("/a/b//"), "/a/b"},
        {Path::RemoveBackslash("/"), "/"},
        {Path::AddBackslash("/a"), "/a/"},
        {Path::AddBackslash("/a//"), "/a/"},
        {Path::AddBackslash("/"), "/"},
        {Path::AddBackslash(""), ""},
        {Path::ToNative("a\\b\\c"), "a/b/c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(Path, RelativeAndAbsoluteLocal)
{
    EXPECT_TRUE(Path::IsRelative("a/b"));
    EXPECT_TRUE(Path::IsRelative("C:\\x"));
    EXPECT_TRUE(Path::IsRelative(""));
    EXPECT_FALSE(Path::IsRelative("/a"));
    EXPECT_FALSE(Path::IsRelative("\\a"));
    EXPECT_TRUE(Path::IsAbsoluteLocal("/a/b"));
    EXPECT_FALSE(Path::IsAbsoluteLocal("//server/share"));
    EXPECT_FALSE(Path::IsAbsoluteLocal("\\\\server\\share"));
    EXPECT_FALSE(Path::IsAbsoluteLocal("a/b"));
}

TEST(Path, WildcardMatching)
{
    struct Case
    {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"CEN00001.bin", "CEN?????.bin", true},
        {"cen00001.BIN", "CEN?????.bin", true},
        {"CEN0001.bin", "CEN?????.bin", false},
        {"CEN000001.bin", "CEN?????.bin", false},
        {"noext", "*.*", true},
        {"a.b.c", "*.c", true},
        {"abc", "a*c", true},
        {"ac", "a*c", true},
        {"abcd", "a*c", false},
        {"x.log", "*", true},
        {"", "*", true},
        {"aXbXc", "a*b*c", true},
        {"aaab", "*a?b", true},
        {"TITLE.BMP", "title*.bmp", true},
        {"日本.XML", "日本.xml", true},
        {"abc", "?", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Path::MatchesPattern(c.name, c.pattern), c.matches)
            << c.name << " ~ " << c.pattern;
}

class PathTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = TestSupport::NewFolder("tree");
        TestSupport::WriteFile(root + "/output/contents/en/CEN00002.bin", "2");
        TestSupport::WriteFile(root + "/output/contents/en/cen00001.BIN", "1");
        TestSupport::WriteFile(root + "/output/contents/en/CEN001.bin", "short");
        TestSupport::WriteFile(root + "/output/contents/en/Readme.txt", "r");
        QDir().mkpath(root + "/output/contents/en/CEN00003.bin"); // a folder with a file's name
        QDir().mkpath(root + "/Mixed/SD");
        QDir().mkpath(root + "/Mixed/sd");
        QDir().mkpath(root + "/Case/Alpha");
        QFile::link(root + "/output/contents/en/CEN00002.bin",
                    root + "/output/contents/en/CEN00004.bin");
        QFile::link(root + "/nowhere", root + "/output/contents/en/CEN00005.bin");
    }
    QString root;
};

TEST_F(PathTree, ResolveMapsEachComponentIgnoringCase)
{
    struct Case
    {
        QString given;
        QString expected;
    };
    const Case cases[] = {
        {root + "/output/contents/EN/CEN00002.bin", root + "/output/contents/en/CEN00002.bin"},
        {root + "/OUTPUT/Contents/En/CEN00001.bin", root + "/output/contents/en/cen00001.BIN"},
        // The unmatched rest is kept as given.
        {root + "/output/CONTENTS/JA/new/File.bin", root + "/output/contents/JA/new/File.bin"},
        // An exact match wins over an earlier case-insensitive one.
        {root + "/Mixed/sd", root + "/Mixed/sd"},
        {root + "/Mixed/SD", root + "/Mixed/SD"},
        // With no exact match, the first in name order.
        {root + "/mixed/Sd", root + "/Mixed/SD"},
        {root + "\\case\\ALPHA\\", root + "/Case/Alpha/"},
        {root + "//case///alpha", root + "/Case/Alpha"},
        {root + "/nothing/here", root + "/nothing/here"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Path::Resolve(c.given), c.expected) << c.given.toStdString();
}

TEST_F(PathTree, ResolveWorksOnRelativePaths)
{
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root));
    EXPECT_EQ(Path::Resolve("OUTPUT/contents/EN/Readme.TXT"), "output/contents/en/Readme.txt");
    QDir::setCurrent(old);
}

TEST_F(PathTree, ExistsAndKindGoThroughResolve)
{
    EXPECT_TRUE(Path::FileExists(root + "/Output/Contents/EN/readme.txt"));
    EXPECT_TRUE(Path::IsRegularFile(root + "/Output/Contents/EN/readme.txt"));
    EXPECT_FALSE(Path::IsDirectory(root + "/Output/Contents/EN/readme.txt"));
    EXPECT_TRUE(Path::IsDirectory(root + "/OUTPUT/contents"));
    EXPECT_FALSE(Path::FileExists(root + "/Output/missing.txt"));
    EXPECT_FALSE(Path::FileExists(""));
}

TEST_F(PathTree, StampsAreThoseOfRegularFilesThroughResolve)
{
    const QString file = root + "/output/contents/en/cen00001.BIN";
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(1234567890123);
    {
        QFile touched(file);
        ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
        ASSERT_TRUE(touched.setFileTime(time, QFileDevice::FileModificationTime));
    }
    for (const QString& path : {file, root + "/Output/contents/EN/CEN00001.bin"})
    {
        const std::optional<Path::FileStamp> stamp = Path::StampOf(path);
        ASSERT_TRUE(stamp) << path.toStdString();
        EXPECT_EQ(stamp->size, 1);
        EXPECT_EQ(stamp->modified, time.toMSecsSinceEpoch());
    }
    // A link counts as what it leads to.
    EXPECT_EQ(Path::StampOf(root + "/output/contents/en/CEN00004.bin")->size, 1);
    for (const char* none : {"/output/contents/en/CEN00003.bin", "/output/contents/en/CEN00005.bin",
                             "/output/missing.bin", "/OUTPUT"})
        EXPECT_FALSE(Path::StampOf(root + none)) << none;
    EXPECT_FALSE(Path::StampOf(""));
}

TEST_F(PathTree, FindSortsIgnoringCaseAndFiltersKinds)
{
    const QString folder = root + "/OUTPUT/contents/EN";
    EXPECT_EQ(Path::Find(folder, "CEN?????.bin"),
              (QStringList{"cen00001.BIN", "CEN00002.bin", "CEN00003.bin", "CEN00004.bin",
                           "CEN00005.bin"}));
    // A link counts by what it points to; a dangling one is nothing.
    EXPECT_EQ(Path::Find(folder, "CEN?????.bin", Path::FindFilesOnly),
              (QStringList{"cen00001.BIN", "CEN00002.bin", "CEN00004.bin"}));
    EXPECT_EQ(Path::Find(folder, "*.*", Path::FindFoldersOnly), (QStringList{"CEN00003.bin"}));
    EXPECT_EQ(Path::Find(folder, "*").size(), 7);
    EXPECT_TRUE(Path::Find(root + "/missing", "*").isEmpty());
}

TEST(Path, FindOrdersByUpperCaseNames)
{
    const QString folder = TestSupport::NewFolder("order");
    for (const char* name : {"b", "A_B", "AB", "a", "_x", "Z", "ab2"})
        TestSupport::WriteFile(folder + "/" + name, "");
    EXPECT_EQ(Path::Find(folder, "*"), (QStringList{"a", "AB", "ab2", "A_B", "b", "Z", "_x"}));
}

// Names that share a long start and differ late, in length only, or in case only.
TEST(Path, FindOrdersNamesThatDifferLate)
{
    const QString folder = TestSupport::NewFolder("late");
    const QStringList sorted = {
        "long-shared-prefix-",
        "Long-Shared-Prefix-a",
        "long-shared-prefix-A",
        "long-shared-prefix-ab",
        "long-shared-prefix-ABCDEFGHIJ0",
        "long-shared-prefix-abcdefghij1",
        "long-shared-prefix-a_",
        "long-shared-prefix-_",
        QString::fromUtf8("long-shared-prefix-\u00e4"),
        QString::fromUtf8("long-shared-prefix-\u00c4b"),
    };
    for (qsizetype i = sorted.size(); i-- > 0;)
        TestSupport::WriteFile(folder + "/" + sorted[i], "");
    EXPECT_EQ(Path::Find(folder, "*"), sorted);
    EXPECT_EQ(Path::Find(folder, "*-a*"), sorted.mid(1, 6));
}

TEST_F(PathTree, FindFilesOnlySkipsSpecialFiles)
{
    const QString fifo = root + "/output/contents/en/CEN00009.bin";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(Path::Find(root + "/output/contents/en", "CEN?????.bin", Path::FindFilesOnly),
              (QStringList{"cen00001.BIN", "CEN00002.bin", "CEN00004.bin"}));
}

TEST_F(PathTree, ReadFileHeadReadsTheStartZeroFilled)
{
    const QString en = root + "/output/contents/en";
    TestSupport::WriteFile(en + "/Long.bin", "0123456789");
    struct Case
    {
        QString path;
        qsizetype count;
        std::optional<QByteArray> expected;
    };
    const Case cases[] = {
        {en + "/Long.bin", 4, QByteArray("0123")},
        {en + "/Long.bin", 12, QByteArray("0123456789\0\0", 12)},
        {en + "/Long.bin", 0, QByteArray()},
        // Found ignoring case, through a link, or not at all.
        {root + "/OUTPUT/contents/EN/CEN00001.bin", 2, QByteArray("1\0", 2)},
        {en + "/CEN00004.bin", 1, QByteArray("2")},
        {en + "/CEN00005.bin", 1, std::nullopt},
        {en + "/missing.bin", 1, std::nullopt},
        {"", 1, std::nullopt},
        // Only regular files are data.
        {en + "/CEN00003.bin", 1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Path::ReadFileHead(c.path, c.count), c.expected) << c.path.toStdString();
}

TEST_F(PathTree, FolderReaderReadsLikeReadFileHead)
{
    const Path::FolderReader reader(root + "/Output/CONTENTS/en");
    struct Case
    {
        QString name;
        std::optional<QByteArray> expected;
    };
    const Case cases[] = {
        {"CEN00002.bin", QByteArray("2\0", 2)},
        {"CEN00001.BIN", QByteArray("1\0", 2)},
        {"CEN00004.bin", QByteArray("2\0", 2)},
        {"CEN00003.bin", std::nullopt},
        {"CEN00005.bin", std::nullopt},
        {"", std::nullopt},
        {"../en/Readme.txt", QByteArray("r\0", 2)},
        {"missing.bin", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(reader.ReadFileHead(c.name, 2), c.expected) << c.name.toStdString();
    const Path::FolderReader nowhere(root + "/missing");
    EXPECT_EQ(nowhere.ReadFileHead("CEN00002.bin", 2), std::nullopt);
}

TEST_F(PathTree, FolderReaderListsAndOpensEntriesByTheirBytes)
{
    // Names written by a system with another encoding: no valid UTF-8.
    const QByteArray base = QFile::encodeName(root) + "/bytes";
    const QByteArray sub = base + "/SUB\xe9";
    ASSERT_EQ(mkdir(base.constData(), 0700), 0);
    ASSERT_EQ(mkdir(sub.constData(), 0700), 0);
    for (const auto& [name, text] : {std::pair{"a\xff.bin", "one"}, std::pair{"a\xfe.bin", "two"}})
    {
        std::FILE* file = std::fopen((sub + '/' + name).constData(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(text, file);
        std::fclose(file);
    }
    ASSERT_EQ(mkfifo((sub + "/pipe.bin").constData(), 0600), 0);

    const Path::FolderReader reader(root + "/bytes");
    const std::vector<Path::Entry> folders = reader.Find("SUB*", Path::FindFoldersOnly);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].name, Path::DecodeName("SUB\xe9"));
    EXPECT_EQ(folders[0].native, QByteArray("SUB\xe9"));

    const Path::FolderReader inner(reader, folders[0]);
    EXPECT_EQ(inner.Folder(), root + "/bytes/" + Path::DecodeName("SUB\xe9"));
    EXPECT_EQ(inner.NativeFolder(), sub);
    const std::vector<Path::Entry> files = inner.Find("*.BIN", Path::FindFilesOnly);
    ASSERT_EQ(files.size(), 2u) << "the pipe is no data file";
    EXPECT_EQ(files[0].native, QByteArray("a\xfe.bin")) << "in the order of their bytes";
    EXPECT_EQ(files[1].native, QByteArray("a\xff.bin"));
    for (const auto& [entry, text] : {std::pair{files[0], "two"}, std::pair{files[1], "one"}})
    {
        Path::ReadOnlyFile file = inner.Open(entry);
        ASSERT_TRUE(file.IsOpen());
        EXPECT_EQ(file.Size(), 3);
        char bytes[8] = {};
        EXPECT_EQ(file.Read(bytes, 8), 3);
        EXPECT_STREQ(bytes, text);
    }
    EXPECT_FALSE(inner.Open({"pipe.bin", "pipe.bin"}).IsOpen()) << "refused without waiting";
    EXPECT_FALSE(inner.Open({"a?.bin", "a?.bin"}).IsOpen());
    EXPECT_FALSE(reader.Open(folders[0]).IsOpen()) << "a folder is no file";
}

TEST_F(PathTree, ReadFileHeadRefusesAPipeWithoutWaiting)
{
    const QString fifo = root + "/output/contents/en/CEN00009.bin";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(Path::ReadFileHead(fifo, 4), std::nullopt);
}

// Each opener refuses what is no regular file at once, and reads only what the file held
// when it was opened.
TEST_F(PathTree, OpenRegularFileRefusesPipesAndDevicesAndFilesThatShrink)
{
    const QString fifo = root + "/pipe.bmp";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString device = root + "/device.bmp";
    ASSERT_TRUE(QFile::link("/dev/zero", device));
    const struct
    {
        QString path;
        bool opens;
    } cases[] = {
        {root + "/output/contents/en/CEN00002.bin", true},
        {root + "/OUTPUT/contents/EN/readme.TXT", true},
        {fifo, false},
        {device, false},
        {root + "/output/contents/en/CEN00003.bin", false},
        {root + "/missing", false},
        {QString(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Path::OpenRegularFile(c.path).IsOpen(), c.opens) << c.path.toStdString();

    const QString shrinking =
        TestSupport::WriteFile(root + "/shrinking.bmp", QByteArray(4096, 'x'));
    Path::ReadOnlyFile file = Path::OpenRegularFile(shrinking);
    ASSERT_EQ(file.Size(), 4096);
    ASSERT_EQ(truncate(QFile::encodeName(shrinking).constData(), 100), 0);
    EXPECT_EQ(file.Size(), 4096) << "the size taken at the open";
    EXPECT_EQ(file.ReadAll(), std::nullopt) << "a short read is a refusal";

    RegularFileDevice stream(shrinking);
    ASSERT_TRUE(stream.isOpen());
    EXPECT_EQ(stream.size(), 100);
    ASSERT_EQ(truncate(QFile::encodeName(shrinking).constData(), 10), 0);
    EXPECT_EQ(stream.read(8).size(), 8);
    EXPECT_FALSE(stream.HasFailed());
    stream.read(64);
    EXPECT_TRUE(stream.HasFailed());
    EXPECT_FALSE(RegularFileDevice(fifo).isOpen());
}

TEST_F(PathTree, AnOutputNeverWritesThroughAPipeOrADevice)
{
    const QString fifo = root + "/LOG.csv";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    {
        // A reader on the pipe: the pipe is replaced, never written into.
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        ASSERT_TRUE(ReplaceFile(fifo, "rows"));
        char byte;
        EXPECT_LE(::read(reader, &byte, 1), 0) << "nothing was written into the pipe";
        ::close(reader);
    }
    EXPECT_EQ(TestSupport::ReadFile(fifo), "rows");
    const QString device = root + "/LOG.xml";
    ASSERT_TRUE(QFile::link("/dev/null", device));
    ASSERT_TRUE(ReplaceFile(device, "log"));
    EXPECT_FALSE(QFileInfo(device).isSymLink());
    struct stat st;
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    const QString old = TestSupport::WriteFile(root + "/Data/ENQ_00.xml", "old and longer");
    ASSERT_TRUE(ReplaceFile(root + "/data/enq_00.xml", "new"));
    EXPECT_EQ(TestSupport::ReadFile(old), "new");
    ASSERT_TRUE(ReplaceFile(root + "/Data/fresh.csv", ""));
    EXPECT_TRUE(QFileInfo(root + "/Data/fresh.csv").isFile());
}

// Every file name survives the way from bytes to text and back; valid UTF-8 reads as the
// text it is, each other byte as a unit of its own.
TEST(Path, FileNamesKeepTheirBytes)
{
    struct Case
    {
        QByteArray native;
        QString name;
    };
    const Case cases[] = {
        {"", ""},
        {"plain.bmp", "plain.bmp"},
        {"caf\xc3\xa9", QStringLiteral("caf\u00e9")},
        {"\xf0\x9f\x98\x80", QStringLiteral("\U0001F600")},
        // U+10080: its second UTF-16 unit lies where the kept bytes do.
        {"\xf0\x90\x82\x80", QStringLiteral("\U00010080")},
        {"\xff\xfe", QString::fromUtf16(u"\xDCFF\xDCFE")},
        {"pic\xe9.bmp", QStringLiteral("pic") + QChar(0xDCE9) + QStringLiteral(".bmp")},
        {"\xc0\xaf", QString::fromUtf16(u"\xDCC0\xDCAF")},           // a longer form than needed
        {"\xed\xa0\x80", QString::fromUtf16(u"\xDCED\xDCA0\xDC80")}, // a surrogate
        {"\xf4\x90\x80\x80", QString::fromUtf16(u"\xDCF4\xDC90\xDC80\xDC80")},
        {"\xe6\x97x", QString::fromUtf16(u"\xDCE6\xDC97x")}, // cut short
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.native.toHex().toStdString());
        const QString name = Path::DecodeName(c.native);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(Path::EncodeName(name), c.native);
    }
    // A lone surrogate that stands for no byte is written as U+FFFD.
    EXPECT_EQ(Path::EncodeName(QString(QChar(0xD800))), QByteArray("\xef\xbf\xbd"));
}

// Folders and files whose names are no text are made, found, written and read by them.
TEST_F(PathTree, NamesThatAreNoTextReachTheirEntries)
{
    const QString folder = root + '/' + Path::DecodeName("\xff\xfe") + "/sub";
    ASSERT_TRUE(Path::CreateDirectory(folder));
    const QByteArray native = QFile::encodeName(root) + "/\xff\xfe/sub";
    struct stat st;
    ASSERT_EQ(stat(native.constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_TRUE(Path::IsDirectory(folder));

    const QString file = folder + '/' + Path::DecodeName("pic\xe9.vcl");
    ASSERT_TRUE(ReplaceFile(file, "atomic", nullptr, FileKind::Document));
    EXPECT_EQ(TestSupport::ReadNativeFile(native + "/pic\xe9.vcl"), "atomic");
    EXPECT_TRUE(Path::FileExists(file));
    EXPECT_TRUE(Path::IsRegularFile(file));
    EXPECT_EQ(Path::OpenRegularFile(file).ReadAll(), QByteArray("atomic"));
    EXPECT_EQ(Path::Find(folder, "*.VCL"), QStringList{Path::FindFileName(file)});
    ASSERT_TRUE(ReplaceFile(file, "plain"));
    EXPECT_EQ(TestSupport::ReadNativeFile(native + "/pic\xe9.vcl"), "plain");
    EXPECT_TRUE(Path::RemoveFile(file));
    EXPECT_FALSE(Path::FileExists(file));
    TestSupport::RemoveNativeTree(QFile::encodeName(root) + "/\xff\xfe");
}

TEST_F(PathTree, CreateDirectoryReusesExistingCase)
{
    EXPECT_TRUE(Path::CreateDirectory(root + "/CASE/alpha/New/Deep"));
    EXPECT_TRUE(QFileInfo(root + "/Case/Alpha/New/Deep").isDir());
    EXPECT_FALSE(QFileInfo::exists(root + "/CASE"));
    // A file in the way cannot become a folder.
    EXPECT_FALSE(Path::CreateDirectory(root + "/output/contents/en/Readme.txt"));
}
} // namespace
