// Descriptors and names on POSIX systems.
#include "posix_io.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "read_policy.h"

namespace kov::detail::posix {

namespace {

constexpr int kMaxLinkHops = 40;

bool RunsWithRaisedRights() { return ::geteuid() == 0 || ::geteuid() != ::getuid(); }

// The folder part of a path and a name joined, as a path.
std::string Joined(const std::string& path, const std::string& relative) {
    if (relative.starts_with('/') || path.empty()) return relative;
    const std::size_t slash = path.rfind('/');
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + relative;
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

int FileDescriptor::Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
}

void FileDescriptor::Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string Reason(int error) { return std::strerror(error); }

FileSnapshot Snapshot(const struct stat& status) {
    FileSnapshot snapshot;
    snapshot.device = status.st_dev;
    snapshot.inode = status.st_ino;
    snapshot.size = static_cast<std::uint64_t>(status.st_size);
    snapshot.modifiedSeconds = status.st_mtim.tv_sec;
    snapshot.modifiedNanoseconds = status.st_mtim.tv_nsec;
    return snapshot;
}

FileSnapshot SnapshotOf(const FileState& state) { return detail::SnapshotOf(state, ENOENT); }

std::string NotARegularFile(mode_t mode) {
    if (S_ISDIR(mode)) return "it is a folder, not a file";
    if (S_ISFIFO(mode)) return "it is a named pipe (FIFO), not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
    if (S_ISSOCK(mode)) return "it is a socket, not a file";
    return "it is not a regular file";
}

int ReadWhole(int fd, std::string& bytes, std::uint64_t limit) {
    char block[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd, block, sizeof block);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return errno;
        if (count == 0) return 0;
        bytes.append(block, static_cast<std::size_t>(count));
        if (bytes.size() > limit) return EFBIG;
    }
}

int WriteWhole(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t count = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return errno;
        bytes.remove_prefix(static_cast<std::size_t>(count));
        offset += count;
    }
    return 0;
}

int Sync(int fd) {
    while (::fsync(fd) != 0)
        if (errno != EINTR) return errno;
    return 0;
}

int SyncFolder(int folder) {
    FileDescriptor handle(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!handle.valid()) return 0;
    const int error = Sync(handle.get());
    return error == EINVAL || error == EROFS ? 0 : error;
}

FileState Look(int folder, const std::string& name) {
    FileState state;
    struct stat status {};
    if (folder < 0 || ::fstatat(folder, name.c_str(), &status, 0) != 0) return state;
    state.exists = true;
    state.identity = Snapshot(status);
    if (!S_ISREG(status.st_mode)) return state;
    FileDescriptor file(::openat(folder, name.c_str(), kReadFlags));
    std::string bytes;
    if (file.valid() && ReadWhole(file.get(), bytes, kMaxFileSize) == 0) state.bytes = std::move(bytes);
    return state;
}

// With raised rights, a link made by another user whose owner differs from its target's (or,
// for a target yet to be made, its folder's) is not followed: it may be a trap laid for the
// privileged program.
std::string ResolveTarget(int folder, const char* name, const std::string& path, Target& target) {
    target.folder = folder;
    target.name = name;
    target.path = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat link {};
        if (::fstatat(target.folder, target.name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) return Reason(errno);
            target.exists = false;
            return {};
        }
        if (!S_ISLNK(link.st_mode)) {
            target.exists = true;
            target.status = link;
            return {};
        }
        if (RunsWithRaisedRights()) {
            struct stat end {};
            const bool endExists = ::fstatat(target.folder, target.name.c_str(), &end, 0) == 0;
            if (!endExists && ::fstatat(target.folder, ".", &end, 0) != 0) return Reason(errno);
            if (link.st_uid != ::geteuid() && end.st_uid != link.st_uid)
                return "it is a symbolic link owned by another user than " +
                       std::string(endExists ? "the file it points to" : "its folder") +
                       ", which a program with raised rights does not follow";
        }
        std::vector<char> buffer(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : 255) + 1);
        const ssize_t length = ::readlinkat(target.folder, target.name.c_str(), buffer.data(), buffer.size());
        if (length < 0) return Reason(errno);
        if (static_cast<std::size_t>(length) >= buffer.size()) return Reason(ENAMETOOLONG);  // changed under us
        const std::string pointsTo(buffer.data(), static_cast<std::size_t>(length));
        target.path = Joined(target.path, pointsTo);
        const std::size_t slash = pointsTo.rfind('/');
        if (slash == std::string::npos) {
            target.name = pointsTo;
            continue;
        }
        target.name = pointsTo.substr(slash + 1);
        if (target.name.empty()) return NotARegularFile(S_IFDIR);
        const std::string folderPath = slash == 0 ? "/" : pointsTo.substr(0, slash);
        FileDescriptor next(::openat(target.folder, folderPath.c_str(), kFolderFlags));
        if (!next.valid()) return Reason(errno);
        target.ownFolder = std::move(next);
        target.folder = target.ownFolder.get();
    }
    return Reason(ELOOP);
}

std::string StateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/')
        return std::string(state) + "/kovconfig";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = ::getpwuid(::geteuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    return home != nullptr && home[0] == '/' ? std::string(home) + "/.local/state/kovconfig" : std::string();
}

}  // namespace kov::detail::posix
