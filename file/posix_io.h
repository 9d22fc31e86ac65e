// What the POSIX side of the file boundary does with descriptors and names, shared by the save
// and by the recovery at start: reading and writing whole, syncing, looking at a file, following
// links to the file a save writes, and the user's state folder.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "config_file.h"
#include "save_outcome.h"

namespace kov::detail::posix {

#ifdef O_PATH
inline constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;  // needs no read permission
#else
inline constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
// O_NONBLOCK: a FIFO opens at once instead of waiting for a writer.
inline constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; the close's own result counts (some file systems report write errors here).
    int Close();

private:
    void Reset();
    int fd_;
};

std::string Reason(int error);
FileSnapshot Snapshot(const struct stat& status);
FileSnapshot SnapshotOf(const FileState& state);
std::string NotARegularFile(mode_t mode);

// Reads from the descriptor's offset to the end; EFBIG past the limit.
int ReadWhole(int fd, std::string& bytes, std::uint64_t limit);
int WriteWhole(int fd, std::string_view bytes, off_t offset);
int Sync(int fd);
// Makes names in a folder durable. A folder that cannot be opened for this, or a file system
// that cannot sync folders, is not an error.
int SyncFolder(int folder);
// What is under (folder, name) now, its bytes read when it is a regular file that can be read.
FileState Look(int folder, const std::string& name);

// What a save writes to: the final target of any symbolic links, by folder handle and name, and
// its path as far as it is known (for messages and journals).
struct Target {
    FileDescriptor ownFolder;  // when links led to another folder
    int folder = -1;
    std::string name;
    std::string path;
    bool exists = false;
    struct stat status {};
};

// Follows links from (folder, name, whose path is path) to the file they end at; an empty
// string, or why not.
std::string ResolveTarget(int folder, const char* name, const std::string& path, Target& target);

// The user's state folder for this program ($XDG_STATE_HOME/kovconfig, by default
// ~/.local/state/kovconfig); empty when there is no home to put it in.
std::string StateFolder();

}  // namespace kov::detail::posix
