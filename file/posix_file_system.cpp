// The primitives on Linux: descriptors relative to held folders, unnamed files, extended
// attributes, size reservations, and Windows' attributes where the file system keeps them (NTFS
// through ntfs-3g as an extended attribute, FAT through its ioctl).
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <locale.h>

#include "file_system.h"
#include "posix_windows_attributes.h"

namespace kov::detail {

namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;  // needs no read permission
// O_NONBLOCK: a FIFO opens at once instead of waiting for a writer.
constexpr int kOpenFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
constexpr int kMaxLinkHops = 40;
constexpr const char* kNtfsCreationTime = "system.ntfs_crtime_be";

Problem ProblemOf(int error) {
    switch (error) {
        case ENOENT: return Problem::NotFound;
        case EEXIST: return Problem::Exists;
        case EACCES: case EPERM: return Problem::AccessDenied;
        case ENOSPC: case EDQUOT: return Problem::NoSpace;
        case EFBIG: return Problem::TooLarge;
        case EOPNOTSUPP: case ENOSYS: return Problem::NotSupported;
        case EROFS: return Problem::ReadOnlyDisk;
        default: return Problem::Other;
    }
}

Failure Fail(int error) { return {ProblemOf(error), error}; }
Failure Checked(bool done) { return done ? Failure{} : Fail(errno); }
int Fd(const Held& held) { return static_cast<int>(held.native); }

std::shared_ptr<Held> Hold(int fd, std::string path = {}) {
    return {new Held{fd, std::move(path)}, [](Held* held) {
                if (held->native >= 0) ::close(Fd(*held));
                delete held;
            }};
}

Failure Opened(int fd, File& file) {
    if (fd < 0) return Fail(errno);
    file = Hold(fd);
    return {};
}

// What status shows, and Windows' read-only mark of the regular file open as fd (-1 when not),
// where its file system keeps Windows' attributes (NTFS, FAT).
Info InfoFrom(const struct stat& status, int fd) {
    Info info;
    info.kind = S_ISREG(status.st_mode)    ? Kind::Regular
                : S_ISDIR(status.st_mode)  ? Kind::Folder
                : S_ISFIFO(status.st_mode) ? Kind::Fifo
                : S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode) ? Kind::Device
                : S_ISSOCK(status.st_mode) ? Kind::Socket
                                           : Kind::Other;
    info.device = status.st_dev;
    info.inode = status.st_ino;
    info.size = static_cast<std::uint64_t>(status.st_size);
    info.modifiedSeconds = status.st_mtim.tv_sec;
    info.modifiedNanoseconds = status.st_mtim.tv_nsec;
    info.links = static_cast<std::uint32_t>(status.st_nlink);
    std::uint32_t attributes = 0;
    info.readOnly = (status.st_mode & S_IWUSR) == 0 || (S_ISREG(status.st_mode) && fd >= 0 &&
                                                        GetWindowsAttributes(fd, attributes) && (attributes & kReadOnlyAttribute) != 0);
    return info;
}

// A path joined to a link's contents: where the link points.
std::string Joined(const std::string& path, const std::string& relative) {
    if (relative.starts_with('/') || path.empty()) return relative;
    return path.substr(0, path.rfind('/') + 1) + relative;
}

class PosixFileSystem final : public FileSystem {
public:
    Failure OpenCurrentFolder(Folder& folder) override {
        const int fd = ::open(".", kFolderFlags);
        if (fd < 0) return Fail(errno);
        std::string path;
        // Linux marks a folder outside the process's root with "(unreachable)": not a name to show.
        if (char* name = ::getcwd(nullptr, 0)) {
            if (name[0] == '/') path = std::string(name) + (name[1] == '\0' ? "" : "/");
            std::free(name);
        }
        folder = Hold(fd, path);
        return {};
    }

    FolderState CheckFolder(const Folder& folder) override {
        struct stat status {};
        return ::fstat(Fd(*folder), &status) == 0 && status.st_nlink == 0 ? FolderState::Deleted : FolderState::Usable;
    }

    bool IsSystemFolder(const Folder&) override { return false; }

    Failure OpenStateFolder(bool make, Folder& folder) override {
        std::string path;
        if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
            path = std::string(state) + "/kovconfig";
        } else {
            const char* home = std::getenv("HOME");
            if (home == nullptr || home[0] != '/') {
                const passwd* user = ::getpwuid(::geteuid());
                home = user != nullptr ? user->pw_dir : nullptr;
            }
            if (home == nullptr || home[0] != '/') return Fail(ENOENT);
            path = std::string(home) + "/.local/state/kovconfig";
        }
        if (make)  // private to the user
            for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
                ::mkdir(path.substr(0, at).c_str(), 0700);
        if (make) ::mkdir(path.c_str(), 0700);
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return Fail(errno);
        folder = Hold(fd, path + "/");
        return {};
    }

    Failure OpenVirtualStore(const Folder&, bool, Folder&) override { return Fail(EOPNOTSUPP); }

    Failure List(const Folder& folder, std::vector<std::string>& names) override {
        const int fd = ::openat(Fd(*folder), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* entries = fd >= 0 ? ::fdopendir(fd) : nullptr;  // owns the descriptor from here
        if (entries == nullptr) {
            const int error = errno;
            if (fd >= 0) ::close(fd);
            return Fail(error);
        }
        while (const dirent* entry = ::readdir(entries))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) names.emplace_back(entry->d_name);
        ::closedir(entries);
        return {};
    }

    Failure SyncFolder(const Folder& folder) override {
        // A folder that cannot be opened for this, or a file system that cannot sync folders, is no error.
        const int fd = ::openat(Fd(*folder), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const Failure failure = fd < 0 ? Failure{} : SyncAndClose(fd);
        return failure.code == EINVAL || failure.code == EROFS ? Failure{} : failure;
    }

    Failure Resolve(const Folder& start, const std::string& startName, Folder& folder, std::string& name,
                    Followed& followed) override {
        folder = start;
        name = startName;
        std::string path = start->path + startName;
        for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
            struct stat link {};
            if (::fstatat(Fd(*folder), name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0)
                return errno == ENOENT ? Failure{} : Fail(errno);
            if (!S_ISLNK(link.st_mode)) return {};
            // Its owner against its target's (or, for a target yet to be made, its folder's).
            struct stat end {};
            if (::fstatat(Fd(*folder), name.c_str(), &end, 0) != 0 && ::fstatat(Fd(*folder), ".", &end, 0) != 0)
                return Fail(errno);
            followed.strangersLink = followed.strangersLink || (link.st_uid != ::geteuid() && end.st_uid != link.st_uid);
            std::string pointsTo(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : 255) + 1, '\0');
            const ssize_t length = ::readlinkat(Fd(*folder), name.c_str(), pointsTo.data(), pointsTo.size());
            if (length < 0) return Fail(errno);
            if (static_cast<std::size_t>(length) >= pointsTo.size()) return Fail(ENAMETOOLONG);  // changed under us
            pointsTo.resize(static_cast<std::size_t>(length));
            path = Joined(path, pointsTo);
            const std::size_t slash = pointsTo.rfind('/');
            name = pointsTo.substr(slash + 1);
            if (slash == std::string::npos) continue;
            if (name.empty()) return Fail(EISDIR);
            const int next = ::openat(Fd(*folder), slash == 0 ? "/" : pointsTo.substr(0, slash).c_str(), kFolderFlags);
            if (next < 0) return Fail(errno);
            folder = Hold(next, path.substr(0, path.rfind('/') + 1));
        }
        return Fail(ELOOP);
    }

    bool RaisedRights() override { return ::geteuid() == 0 || ::geteuid() != ::getuid(); }

    Failure Look(const Folder& folder, const std::string& name, Info& info) override {
        struct stat status {};
        if (::fstatat(Fd(*folder), name.c_str(), &status, 0) != 0) return Fail(errno);
        const int fd = S_ISREG(status.st_mode) ? ::openat(Fd(*folder), name.c_str(), O_RDONLY | kOpenFlags) : -1;
        info = InfoFrom(status, fd);
        if (fd >= 0) ::close(fd);
        if (::faccessat(Fd(*folder), name.c_str(), W_OK, AT_EACCESS) != 0) info.writeRefused = Fail(errno);
        return {};
    }

    Failure Open(const Folder& folder, const std::string& name, bool forWriting, File& file) override {
        return Opened(::openat(Fd(*folder), name.c_str(), (forWriting ? O_RDWR : O_RDONLY) | kOpenFlags), file);
    }

    Failure CreateNew(const Folder& folder, const std::string& name, bool hidden, File& file) override {
        // A new kov.ini gets the mode the umask gives; the program's own files are private.
        const int fd = ::openat(Fd(*folder), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, hidden ? 0600 : 0666);
        std::uint32_t attributes = 0;
        // FAT marks names that begin with a dot hidden; a new kov.ini is not.
        if (fd >= 0 && !hidden && GetWindowsAttributes(fd, attributes) && (attributes & kHiddenAttribute) != 0)
            SetWindowsAttributes(fd, attributes & ~kHiddenAttribute);
        return Opened(fd, file);
    }

    Failure CreateUnnamed(const Folder& folder, bool hidden, File& file) override {
        // Named later through /proc, which must be there for that.
        if (::access("/proc/self/fd", X_OK) != 0) return Fail(EOPNOTSUPP);
        const int fd = ::openat(Fd(*folder), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, hidden ? 0600 : 0666);
        if (fd < 0 && (errno == EISDIR || errno == EINVAL)) return Fail(EOPNOTSUPP);
        return Opened(fd, file);
    }

    Failure GiveName(const File& file, const Folder& folder, const std::string& name) override {
        const std::string self = "/proc/self/fd/" + std::to_string(file->native);
        return Checked(::linkat(AT_FDCWD, self.c_str(), Fd(*folder), name.c_str(), AT_SYMLINK_FOLLOW) == 0);
    }

    // No backup: a rename is whole.
    Failure Replace(const Folder& folder, const std::string& from, const std::string& to, const std::string&) override {
        return Checked(::renameat(Fd(*folder), from.c_str(), Fd(*folder), to.c_str()) == 0);
    }

    Failure Rename(const Folder& folder, const std::string& from, const std::string& to, bool overwrite) override {
        const int at = Fd(*folder);
        if (overwrite) return Checked(::renameat(at, from.c_str(), at, to.c_str()) == 0);
        if (::renameat2(at, from.c_str(), at, to.c_str(), RENAME_NOREPLACE) == 0) return {};
        if (errno != EINVAL && errno != ENOSYS) return Fail(errno);
        // Where the file system cannot refuse to overwrite by itself.
        struct stat status {};
        if (::fstatat(at, to.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) return Fail(EEXIST);
        return Checked(::renameat(at, from.c_str(), at, to.c_str()) == 0);
    }

    Failure Remove(const Folder& folder, const std::string& name) override {
        return Checked(::unlinkat(Fd(*folder), name.c_str(), 0) == 0);
    }

    Failure SyncNamed(const Folder& folder, const std::string& name) override {
        // A file its owner may write but not read (mode 0200) is synced through a writing descriptor.
        int fd = ::openat(Fd(*folder), name.c_str(), O_RDONLY | kOpenFlags);
        if (fd < 0 && errno == EACCES) fd = ::openat(Fd(*folder), name.c_str(), O_WRONLY | kOpenFlags);
        return fd < 0 ? Fail(errno) : SyncAndClose(fd);
    }

    LockState Probe(const Folder& folder, const std::string& name) override {
        const int fd = ::openat(Fd(*folder), name.c_str(), O_RDONLY | O_NOFOLLOW | kOpenFlags);
        if (fd < 0) return LockState::Unknown;
        const LockState state = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? LockState::Free
                                : errno == EWOULDBLOCK            ? LockState::Held
                                                                  : LockState::Unknown;
        ::close(fd);
        return state;
    }

    Failure InfoOf(const File& file, Info& info) override {
        struct stat status {};
        if (::fstat(Fd(*file), &status) != 0) return Fail(errno);
        info = InfoFrom(status, Fd(*file));
        return {};
    }

    Failure Read(const File& file, std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) override {
        ssize_t count;
        while ((count = ::pread(Fd(*file), buffer, size, static_cast<off_t>(offset))) < 0)
            if (errno != EINTR) return Fail(errno);
        got = static_cast<std::size_t>(count);
        return {};
    }

    Failure WriteAt(const File& file, std::uint64_t offset, std::string_view bytes) override {
        // An over-size write must fail with EFBIG and be reported, not end the program.
        std::signal(SIGXFSZ, SIG_IGN);
        while (!bytes.empty()) {
            const ssize_t count = ::pwrite(Fd(*file), bytes.data(), bytes.size(), static_cast<off_t>(offset));
            if (count < 0 && errno == EINTR) continue;
            if (count < 0) return Fail(errno);
            bytes.remove_prefix(static_cast<std::size_t>(count));
            offset += static_cast<std::uint64_t>(count);
        }
        return {};
    }

    Failure Reserve(const File& file, std::uint64_t size) override {
        return Checked(::fallocate(Fd(*file), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0);
    }

    Failure Sync(const File& file) override { return SyncDescriptor(Fd(*file)); }

    Failure SetSize(const File& file, std::uint64_t size) override {
        return Checked(::ftruncate(Fd(*file), static_cast<off_t>(size)) == 0);
    }

    Failure Lock(const File& file) override { return Checked(::flock(Fd(*file), LOCK_EX) == 0); }

    Failure CopyMetadata(const Folder& folder, const std::string& name, const File& to) override {
        struct stat from {}, now {};
        if (::fstatat(Fd(*folder), name.c_str(), &from, 0) != 0 || ::fstat(Fd(*to), &now) != 0) return Fail(errno);
        // Only what differs is set, so that a file system that shows every file with the same
        // owner and mode (FAT, exFAT, NTFS) is no reason to write in place.
        if ((from.st_uid != now.st_uid || from.st_gid != now.st_gid) && ::fchown(Fd(*to), from.st_uid, from.st_gid) != 0)
            return Fail(errno);
        if ((from.st_mode & 07777) != (now.st_mode & 07777) && ::fchmod(Fd(*to), from.st_mode & 07777) != 0)
            return Fail(errno);  // after chown, which clears set-id bits
        // By name through the folder's handle, so that a file the program may write but not read
        // (mode 0200) still has its attributes listed.
        const std::string path = "/proc/self/fd/" + std::to_string(folder->native) + "/" + name;
        if (const Failure failure = CopyExtendedAttributes(path, Fd(*to))) return failure;
        // NTFS keeps the creation time apart from the listed attributes.
        char created[8];
        const ssize_t length = ::getxattr(path.c_str(), kNtfsCreationTime, created, sizeof created);
        if (length > 0 && ::fsetxattr(Fd(*to), kNtfsCreationTime, created, static_cast<std::size_t>(length), 0) != 0)
            return Fail(errno);
        const int source = ::openat(Fd(*folder), name.c_str(), O_RDONLY | kOpenFlags);
        std::uint32_t attributes = 0;
        const bool lost = source >= 0 && GetWindowsAttributes(source, attributes) && !SetWindowsAttributes(Fd(*to), attributes);
        const int error = errno;
        if (source >= 0) ::close(source);
        return lost ? Fail(error) : Failure{};
    }

    Failure Close(File& file) override {
        const int fd = Fd(*file);
        file->native = -1;
        return Checked(::close(fd) == 0);
    }

    std::string OtherOwner(const Folder& folder, const std::string& name) override {
        struct stat status {};
        if (::fstatat(Fd(*folder), name.empty() ? "." : name.c_str(), &status, 0) != 0 || status.st_uid == ::geteuid())
            return {};
        const passwd* owner = ::getpwuid(status.st_uid);
        return owner != nullptr ? owner->pw_name : "";
    }

    // The C library's words in the language's UTF-8 locale ("pl" in pl_PL.UTF-8), where that is
    // installed and its messages are translated: words the C locale gives are English.
    std::string SystemWords(long code, std::string_view language) override {
        const auto words = [code](const std::string& name) {
            const locale_t locale = ::newlocale(LC_ALL_MASK, name.c_str(), nullptr);
            const std::string text = locale != nullptr ? ::strerror_l(static_cast<int>(code), locale) : "";
            if (locale != nullptr) ::freelocale(locale);
            return text;
        };
        std::string locale = std::string(language) + '_';  // "pl" -> "pl_PL.UTF-8"
        for (const char c : language) locale += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        const std::string english = words("C"), translated = language == "en" ? english : words(locale + ".UTF-8");
        return language != "en" && translated == english ? std::string() : translated;
    }

    Os System() const override { return Os::Posix; }

private:
    static Failure SyncDescriptor(int fd) {
        while (::fsync(fd) != 0)
            if (errno != EINTR) return Fail(errno);
        return {};
    }
    static Failure SyncAndClose(int fd) {
        const Failure failure = SyncDescriptor(fd);
        ::close(fd);
        return failure;
    }

    // Extended attributes (ACLs among them); none where the file system has none.
    static Failure CopyExtendedAttributes(const std::string& path, int to) {
        ssize_t size = ::llistxattr(path.c_str(), nullptr, 0);
        if (size < 0) return errno == ENOTSUP ? Failure{} : Fail(errno);
        std::string names(static_cast<std::size_t>(size), '\0');
        size = ::llistxattr(path.c_str(), names.data(), names.size());
        if (size < 0) return Fail(errno);
        for (std::size_t at = 0; at < static_cast<std::size_t>(size); at += std::strlen(&names[at]) + 1) {
            const char* attribute = &names[at];
            const ssize_t length = ::lgetxattr(path.c_str(), attribute, nullptr, 0);
            if (length < 0) return Fail(errno);
            std::string value(static_cast<std::size_t>(length), '\0');
            if (::lgetxattr(path.c_str(), attribute, value.data(), value.size()) != length ||
                ::fsetxattr(to, attribute, value.data(), value.size(), 0) != 0)
                return Fail(errno);
        }
        return {};
    }
};

}  // namespace

FileSystem& PlatformFileSystem() { static PosixFileSystem platform; return platform; }

}  // namespace kov::detail
