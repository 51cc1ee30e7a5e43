#include "platform/FileDescriptor.h"

#include <fcntl.h>
#include <unistd.h>

void FileDescriptor::Reset(int fd) noexcept
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd < 0 ? -1 : fd;
}

bool FileDescriptor::Close() noexcept
{
    return m_fd >= 0 && ::close(Release()) == 0;
}

void FolderListingCloser::operator()(DIR* dir) const noexcept
{
    closedir(dir);
}

FolderListing OpenFolderListing(const char* native)
{
    return FolderListing(opendir(native));
}

FolderListing OpenFolderListing(const FileDescriptor& folder)
{
    if (!folder.IsOpen())
        return {};
    FileDescriptor copy(::fcntl(folder.Get(), F_DUPFD_CLOEXEC, 0));
    if (!copy.IsOpen())
        return {};
    FolderListing listing(fdopendir(copy.Get()));
    if (!listing)
        return {};
    copy.Release();
    // The copy shares the position of the folder's earlier listings.
    rewinddir(listing.get());
    return listing;
}
