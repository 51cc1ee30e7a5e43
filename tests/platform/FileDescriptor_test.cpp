#include "common/TestSupport.h"
#include "platform/FileDescriptor.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>

namespace
{
bool IsOpenInProcess(int fd)
{
    return fd >= 0 && ::fcntl(fd, F_GETFD) != -1;
}

int OpenNull()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

TEST(FileDescriptor, ClosedOnceByItsLastHolder)
{
    const int raw = OpenNull();
    ASSERT_GE(raw, 0);
    {
        FileDescriptor first(raw);
        FileDescriptor second(std::move(first));
        EXPECT_FALSE(first.IsOpen());
        EXPECT_EQ(second.Get(), raw);
        FileDescriptor third;
        third = std::move(second);
        EXPECT_FALSE(second.IsOpen());
        EXPECT_TRUE(IsOpenInProcess(raw));
    }
    EXPECT_FALSE(IsOpenInProcess(raw));
}

TEST(FileDescriptor, ResetClosesTheOldOneAndReleaseHandsItOver)
{
    const int old = OpenNull();
    const int next = OpenNull();
    FileDescriptor fd(old);
    fd.Reset(next);
    EXPECT_FALSE(IsOpenInProcess(old));
    EXPECT_EQ(fd.Get(), next);

    const int handed = fd.Release();
    EXPECT_FALSE(fd.IsOpen());
    EXPECT_TRUE(IsOpenInProcess(handed));
    ::close(handed);

    // A failed open is no descriptor, and there is nothing to close.
    FileDescriptor none(::open("/nonexistent/file", O_RDONLY));
    EXPECT_FALSE(none.IsOpen());
    EXPECT_FALSE(none.Close());

    FileDescriptor open(OpenNull());
    const int raw = open.Get();
    EXPECT_TRUE(open.Close());
    EXPECT_FALSE(open.IsOpen());
    EXPECT_FALSE(IsOpenInProcess(raw));
}

std::set<std::string> Names(DIR* dir)
{
    std::set<std::string> names;
    while (const dirent* e = readdir(dir))
        names.insert(e->d_name);
    return names;
}

TEST(FolderListing, EachListingFromTheStartAndTheFolderStaysOpen)
{
    const QString folder = TestSupport::NewFolder("listing");
    TestSupport::WriteFile(folder + "/a", "1");
    TestSupport::WriteFile(folder + "/b", "2");
    const std::set<std::string> expected{".", "..", "a", "b"};

    const FileDescriptor fd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(fd.IsOpen());
    for (int round = 0; round < 2; ++round)
    {
        const FolderListing listing = OpenFolderListing(fd);
        ASSERT_TRUE(listing);
        EXPECT_EQ(Names(listing.get()), expected);
    }
    const FileDescriptor entry(::openat(fd.Get(), "a", O_RDONLY | O_CLOEXEC));
    EXPECT_TRUE(entry.IsOpen());

    const FolderListing byPath = OpenFolderListing(QFile::encodeName(folder).constData());
    ASSERT_TRUE(byPath);
    EXPECT_EQ(Names(byPath.get()), expected);

    EXPECT_FALSE(OpenFolderListing(FileDescriptor()));
    EXPECT_FALSE(OpenFolderListing(QFile::encodeName(folder + "/a").constData()));
    const FileDescriptor file(::openat(fd.Get(), "b", O_RDONLY | O_CLOEXEC));
    EXPECT_FALSE(OpenFolderListing(file));
}
} // namespace
