#pragma once
// Owners of what the system hands out open: a file descriptor, and a folder listing (DIR*).
// Each is closed with its holder; moving hands it on.
#include <dirent.h>
#include <memory>
#include <utility>

class FileDescriptor
{
public:
    FileDescriptor() = default;
    // Takes the descriptor (a negative one means none).
    explicit FileDescriptor(int fd) noexcept : m_fd(fd < 0 ? -1 : fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }
    // Hands the descriptor to the caller, who closes it.
    int Release() noexcept { return std::exchange(m_fd, -1); }
    // Closes the one held and takes `fd`.
    void Reset(int fd = -1) noexcept;
    // Closes it and tells whether the close succeeded (a write may fail only there).
    bool Close() noexcept;

private:
    int m_fd = -1;
};

struct FolderListingCloser
{
    void operator()(DIR* dir) const noexcept;
};
using FolderListing = std::unique_ptr<DIR, FolderListingCloser>;

// A listing of the folder at the path; empty when it cannot be opened.
FolderListing OpenFolderListing(const char* native);
// A listing from its own copy of the folder's descriptor, from the start, so that the
// descriptor stays usable for opening entries; empty when it cannot be made.
FolderListing OpenFolderListing(const FileDescriptor& folder);
