// The file boundary on POSIX systems (with Linux's extended attributes where they exist).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

#include "config_file.h"
#include "printable_name.h"
#include "read_policy.h"
#include "save_outcome.h"

#if __has_include(<sys/xattr.h>)
#include <sys/xattr.h>
#define KOV_HAVE_XATTR 1
#endif

namespace kov {

using detail::Hash;

namespace {

#ifdef O_PATH
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;  // needs no read permission
#else
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
// O_NONBLOCK: a FIFO opens at once instead of waiting for a writer.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
constexpr int kMaxLinkHops = 40;

std::string Reason(int error) { return std::strerror(error); }

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = other.fd_;
            other.fd_ = -1;
        }
        return *this;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; the close's own result counts (some file systems report write errors here).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    void Reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int fd_;
};

FileSnapshot Snapshot(const struct stat& status) {
    FileSnapshot snapshot;
    snapshot.device = status.st_dev;
    snapshot.inode = status.st_ino;
    snapshot.size = static_cast<std::uint64_t>(status.st_size);
    snapshot.modifiedSeconds = status.st_mtim.tv_sec;
    snapshot.modifiedNanoseconds = status.st_mtim.tv_nsec;
    return snapshot;
}

// The snapshot of a file as looked at: what ChangedSinceRead compares with.
FileSnapshot SnapshotOf(const detail::FileState& state) { return detail::SnapshotOf(state, ENOENT); }

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

// What a save writes to: the final target of any symbolic links, by folder handle and name.
struct Target {
    FileDescriptor ownFolder;  // when links led to another folder
    int folder = -1;
    std::string name;
    bool exists = false;
    struct stat status {};
};

bool RunsWithRaisedRights() { return ::geteuid() == 0 || ::geteuid() != ::getuid(); }

// Follows links from (folder, name) to the file they end at. With raised rights, a link made
// by another user whose owner differs from its target's (or, for a target yet to be made, its
// folder's) is not followed: it may be a trap laid for the privileged program.
std::string ResolveTarget(int folder, const char* name, Target& target) {
    target.folder = folder;
    target.name = name;
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

std::string TemporaryName() {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = std::string(".") + kConfigFileName + ".";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

// Gives the new file what the old one had beyond its bytes. False when anything cannot be kept.
bool CopyMetadata(const Target& target, int to) {
    if (::fchown(to, target.status.st_uid, target.status.st_gid) != 0) return false;
    if (::fchmod(to, target.status.st_mode & 07777) != 0) return false;  // after chown, which clears set-id bits
#ifdef KOV_HAVE_XATTR
    // By name through the folder's handle, so that a file the program may write but not read
    // (mode 0200) still has its attributes listed.
    const std::string path = "/proc/self/fd/" + std::to_string(target.folder) + "/" + target.name;
    ssize_t size = ::llistxattr(path.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP;  // none can exist there
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::llistxattr(path.c_str(), names.data(), names.size());
    if (size < 0) return false;
    for (std::size_t at = 0; at < static_cast<std::size_t>(size); at += std::strlen(&names[at]) + 1) {
        const char* attribute = &names[at];
        const ssize_t length = ::lgetxattr(path.c_str(), attribute, nullptr, 0);
        if (length < 0) return false;
        std::vector<char> value(static_cast<std::size_t>(length));
        if (::lgetxattr(path.c_str(), attribute, value.data(), value.size()) != length) return false;
        if (::fsetxattr(to, attribute, value.data(), value.size(), 0) != 0) return false;
    }
#endif
    return true;
}

// After a rename: makes the new name durable. A folder that cannot be opened for this, or a
// file system that cannot sync folders, is not an error.
int SyncFolder(int folder) {
    FileDescriptor handle(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!handle.valid()) return 0;
    const int error = Sync(handle.get());
    return error == EINVAL || error == EROFS ? 0 : error;
}

// What is under (folder, name) now, its bytes read when it is a regular file that can be read.
detail::FileState Look(int folder, const std::string& name) {
    detail::FileState state;
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

enum class Outcome { Saved, Failed, NotPossible };

struct Attempt {
    Outcome outcome;
    std::string reason;  // Failed: why
};

Attempt Failed(int error) { return {Outcome::Failed, Reason(error)}; }

// A new file beside the target, renamed over it. NotPossible when that would lose something the
// old file had, or when the folder takes no new file (whyNot then says why).
Attempt ReplaceAtomically(const Target& target, const std::string& text, int& whyNot) {
    if (target.exists && target.status.st_nlink > 1) return {Outcome::NotPossible, {}};
    std::string temporary;
    FileDescriptor file;
    for (int tries = 0; tries < 100 && !file.valid(); ++tries) {
        temporary = TemporaryName();
        // A new kov.ini gets the mode the umask gives; a replacement the old one's, below.
        file = FileDescriptor(::openat(target.folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                       target.exists ? 0600 : 0666));
        if (!file.valid() && errno != EEXIST) break;
    }
    if (!file.valid()) {
        whyNot = errno;
        return {Outcome::NotPossible, {}};
    }
    const auto discard = [&] {
        file = FileDescriptor();
        ::unlinkat(target.folder, temporary.c_str(), 0);
    };
    const auto abandon = [&](int error) {
        discard();
        return Failed(error);
    };
    if (target.exists && !CopyMetadata(target, file.get())) {
        discard();
        return {Outcome::NotPossible, {}};  // the old file can be written in place instead
    }
    if (const int error = WriteWhole(file.get(), text, 0)) return abandon(error);
    if (const int error = Sync(file.get())) return abandon(error);
    if (file.Close() != 0) return abandon(errno);
    if (::renameat(target.folder, temporary.c_str(), target.folder, target.name.c_str()) != 0)
        return abandon(errno);
    if (const int error = SyncFolder(target.folder))
        return {Outcome::Failed,
                "the folder could not be synced (" + Reason(error) + "), so the new settings may not survive a power failure"};
    return {Outcome::Saved, {}};
}

// Over the old bytes, keeping the file itself (its links, owner and everything else). The new
// size is reserved first, and the old bytes are written back if any step fails; what the file
// then holds is read back by the caller.
Attempt WriteInPlace(const Target& target, const std::string& text) {
    FileDescriptor file(::openat(target.folder, target.name.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.valid()) return Failed(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return Failed(errno);
    if (!S_ISREG(status.st_mode) || status.st_ino != target.status.st_ino || status.st_dev != target.status.st_dev)
        return {Outcome::Failed, "it was replaced by something else while saving"};
    std::string old;
    if (const int error = ReadWhole(file.get(), old, kMaxFileSize)) return Failed(error);
    bool written = false;
    const auto restore = [&](int error) {
        if (written) {
            WriteWhole(file.get(), old, 0);
            while (::ftruncate(file.get(), static_cast<off_t>(old.size())) != 0 && errno == EINTR) {
            }
            Sync(file.get());
        }
        return Failed(error);
    };
    if (text.size() > old.size()) {
        const int error = ::posix_fallocate(file.get(), 0, static_cast<off_t>(text.size()));
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) return restore(error);
    }
    written = true;
    if (const int error = WriteWhole(file.get(), text, 0)) return restore(error);
    if (::ftruncate(file.get(), static_cast<off_t>(text.size())) != 0) return restore(errno);
    if (const int error = Sync(file.get())) return restore(error);
    if (file.Close() != 0) return Failed(errno);
    return {Outcome::Saved, {}};
}

}  // namespace

ConfigFile::ConfigFile() {
    folder_ = ::open(".", kFolderFlags);
    if (folder_ < 0) folderError_ = errno;
    displayName_ = std::string(kConfigFileName) + " in the current folder";
    if (char* path = ::getcwd(nullptr, 0)) {
        // Linux marks a folder outside the process's root with "(unreachable)": not a name to show.
        if (path[0] == '/') {
            const std::string folder = path;
            displayName_ = PrintableName(folder + (folder == "/" ? "" : "/") + kConfigFileName);
        }
        std::free(path);
    }
}

ConfigFile::~ConfigFile() {
    if (folder_ >= 0) ::close(folder_);
}

OpenResult ConfigFile::Read(ConfigurationStore& store) {
    OpenResult result;
    if (folder_ < 0) {
        result.outcome = OpenOutcome::NoFolder;
        result.reason = "the current folder cannot be opened: " + Reason(folderError_);
        snapshot_.error = folderError_;
        return result;
    }
    result.outcome = OpenOutcome::Unreadable;
    // Whether a save may put other settings in its place, as the save itself will decide.
    const auto judge = [&](const struct stat& status) {
        if (!S_ISREG(status.st_mode)) {
            result.reason = NotARegularFile(status.st_mode);  // a socket, say
            return false;
        }
        result.readOnly = (status.st_mode & S_IWUSR) == 0 || ::faccessat(folder_, kConfigFileName, W_OK, AT_EACCESS) != 0;
        result.replaceable = !result.readOnly;
        return true;
    };
    FileDescriptor file(::openat(folder_, kConfigFileName, kReadFlags));
    if (!file.valid()) {
        const int error = errno;
        snapshot_ = FileSnapshot{};
        snapshot_.error = error;
        if (error == ENOENT) {
            result.outcome = OpenOutcome::Missing;
            return result;
        }
        result.reason = Reason(error);
        struct stat status {};
        if (::fstatat(folder_, kConfigFileName, &status, 0) == 0) {
            snapshot_ = Snapshot(status);
            judge(status);
        }
        return result;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        result.reason = Reason(errno);
        return result;
    }
    snapshot_ = Snapshot(status);
    if (!judge(status)) return result;
    if (static_cast<std::uint64_t>(status.st_size) > kMaxFileSize) {
        result.reason = detail::TooLargeReason();
        return result;
    }
    std::string bytes;
    if (const int error = ReadWhole(file.get(), bytes, kMaxFileSize)) {
        result.reason = error == EFBIG ? detail::TooLargeReason() : Reason(error);
        return result;
    }
    detail::TakeBytes(store, bytes, result, snapshot_);
    return result;
}

bool ConfigFile::ChangedSinceRead() const {
    FileSnapshot now;
    struct stat status {};
    if (folder_ < 0) {
        now.error = folderError_;
    } else if (::fstatat(folder_, kConfigFileName, &status, 0) != 0) {
        now.error = errno;
    } else {
        now = Snapshot(status);
        if (snapshot_.hashed) {
            FileDescriptor file(::openat(folder_, kConfigFileName, kReadFlags));
            std::string bytes;
            if (!file.valid() || ReadWhole(file.get(), bytes, kMaxFileSize) != 0) return true;
            now.hashed = true;
            now.hash = Hash(bytes);
        }
    }
    return !(now == snapshot_);
}

SaveResult ConfigFile::Save(const std::string& text) {
    // An over-size write must fail with EFBIG and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    Target target;
    std::string problem;
    if (folder_ < 0) {
        problem = "the current folder cannot be opened: " + Reason(folderError_);
    } else if (struct stat folder {}; ::fstat(folder_, &folder) == 0 && folder.st_nlink == 0) {
        problem = "the folder it was in was deleted";
    } else {
        problem = ResolveTarget(folder_, kConfigFileName, target);
    }
    const detail::FileState before = Look(target.folder, target.name);
    const auto settle = [&](std::string reason) {
        SaveResult result = detail::Settle(std::move(reason), before, Look(target.folder, target.name), text);
        // What the file holds now is this save's doing, not another program's.
        if (result.outcome == SaveOutcome::NotSavedChanged) snapshot_ = SnapshotOf(Look(folder_, kConfigFileName));
        return result;
    };
    if (!problem.empty()) return settle(problem);
    if (target.exists) {
        if (!S_ISREG(target.status.st_mode)) return settle(NotARegularFile(target.status.st_mode) + ", so it is not replaced");
        // A file marked read-only stays as it is, even for a user who could replace it.
        if ((target.status.st_mode & S_IWUSR) == 0) return settle(Reason(EACCES) + " (the file is read-only)");
        if (::faccessat(target.folder, target.name.c_str(), W_OK, AT_EACCESS) != 0) return settle(Reason(errno));
    }
    int whyNot = 0;
    Attempt attempt = ReplaceAtomically(target, text, whyNot);
    if (attempt.outcome == Outcome::NotPossible)
        attempt = target.exists ? WriteInPlace(target, text) : Failed(whyNot);
    if (attempt.outcome == Outcome::Failed) return settle(attempt.reason);
    snapshot_ = SnapshotOf(Look(folder_, kConfigFileName));
    return detail::SavedResult();
}

}  // namespace kov
