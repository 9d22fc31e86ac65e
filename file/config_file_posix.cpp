// The file boundary on POSIX systems (with Linux's extended attributes, unnamed temporary files
// and size reservations where they exist).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

#include "config_file.h"
#include "journal_posix.h"
#include "posix_io.h"
#include "printable_name.h"
#include "read_policy.h"
#include "save_outcome.h"

#if __has_include(<sys/xattr.h>)
#include <sys/xattr.h>
#define KOV_HAVE_XATTR 1
#endif

namespace kov {

using detail::Hash;
using namespace detail::posix;

namespace {

std::string TemporaryName(const std::string& fileName) {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = "." + fileName + ".";
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

enum class Outcome { Saved, Failed, NotPossible, Declined };

struct Attempt {
    Outcome outcome;
    std::string reason;      // Failed: why
    std::string oldBytesAt;  // Failed: where the old bytes are kept, when not in the file
};

Attempt Failed(int error) { return {Outcome::Failed, Reason(error), {}}; }

// The new file, written and synced, unnamed where the file system allows (so that a crash leaves
// nothing behind), else under a temporary name; locked while it lives, so that the next start
// tells a running save's file from a crashed one's.
struct NewFile {
    FileDescriptor file;
    std::string name;  // empty while it has none
};

int CreateNewFile(const Target& target, NewFile& created) {
    // A new kov.ini gets the mode the umask gives; a replacement the old one's, later.
    const mode_t mode = target.exists ? 0600 : 0666;
#ifdef O_TMPFILE
    // Named later through /proc, which must be there for that.
    if (::access("/proc/self/fd", X_OK) == 0) {
        created.file = FileDescriptor(::openat(target.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
        if (created.file.valid()) return ::flock(created.file.get(), LOCK_EX) == 0 ? 0 : errno;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
    }
#endif
    for (int tries = 0; tries < 100 && !created.file.valid(); ++tries) {
        created.name = TemporaryName(target.name);
        created.file = FileDescriptor(::openat(target.folder, created.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (!created.file.valid() && errno != EEXIST) break;
    }
    if (!created.file.valid()) {
        created.name.clear();
        return errno;
    }
    return ::flock(created.file.get(), LOCK_EX) == 0 ? 0 : errno;
}

// Gives an unnamed file its temporary name, just before it is renamed over the target.
int NameNewFile(const Target& target, NewFile& created) {
    if (!created.name.empty()) return 0;
    const std::string self = "/proc/self/fd/" + std::to_string(created.file.get());
    for (int tries = 0; tries < 100; ++tries) {
        const std::string name = TemporaryName(target.name);
        if (::linkat(AT_FDCWD, self.c_str(), target.folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            created.name = name;
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// A new file beside the target, renamed over it. NotPossible when that would lose something the
// old file had, or when the folder takes no new file (whyNot then says why).
Attempt ReplaceAtomically(const Target& target, const std::string& text, int& whyNot) {
    if (target.exists && target.status.st_nlink > 1) return {Outcome::NotPossible, {}, {}};
    NewFile created;
    if (const int error = CreateNewFile(target, created)) {
        if (created.file.valid()) {
            if (!created.name.empty()) ::unlinkat(target.folder, created.name.c_str(), 0);
            return Failed(error);
        }
        whyNot = error;
        return {Outcome::NotPossible, {}, {}};
    }
    const auto discard = [&] {
        if (!created.name.empty()) ::unlinkat(target.folder, created.name.c_str(), 0);
        created.file = FileDescriptor();
    };
    const auto abandon = [&](int error) {
        discard();
        return Failed(error);
    };
    if (target.exists && !CopyMetadata(target, created.file.get())) {
        discard();
        return {Outcome::NotPossible, {}, {}};  // the old file can be written in place instead
    }
    if (const int error = WriteWhole(created.file.get(), text, 0)) return abandon(error);
    if (const int error = Sync(created.file.get())) return abandon(error);
    if (const int error = NameNewFile(target, created)) return abandon(error);
    if (::renameat(target.folder, created.name.c_str(), target.folder, target.name.c_str()) != 0) return abandon(errno);
    created.name.clear();  // it is the target now
    if (created.file.Close() != 0) return Failed(errno);
    if (const int error = SyncFolder(target.folder))
        return {Outcome::Failed,
                "the folder could not be synced (" + Reason(error) + "), so the new settings may not survive a power failure",
                {}};
    return {Outcome::Saved, {}, {}};
}

// Over the old bytes, keeping the file itself (its links, owner and everything else). A journal
// of the old bytes is written and synced first; the new size is reserved without changing the
// file's size; the old bytes are written back if any step fails, and the journal goes only when
// the file holds the old bytes or the new text whole.
Attempt WriteInPlace(const Target& target, const std::string& text, const std::function<bool()>& allowUnprotected) {
    FileDescriptor file(::openat(target.folder, target.name.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.valid()) return Failed(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return Failed(errno);
    if (!S_ISREG(status.st_mode) || status.st_ino != target.status.st_ino || status.st_dev != target.status.st_dev)
        return {Outcome::Failed, "it was replaced by something else while saving", {}};
    std::string old;
    if (const int error = ReadWhole(file.get(), old, kMaxFileSize)) return Failed(error);

    detail::Journal journal{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
                            target.path, old.size(), Hash(old), text.size(), Hash(text), old};
    JournalFile written;
    std::string whyNot;
    const bool journaled = WriteJournal(target, journal, written, whyNot);
    if (!journaled && !allowUnprotected)
        return {Outcome::Failed, "no record of the old settings could be written first (" + whyNot + ")", {}};
    if (!journaled && !allowUnprotected()) return {Outcome::Declined, {}, {}};

    // Done with the file, whatever it holds: the journal goes only when the file holds the old
    // bytes or the new text whole, and on disk.
    const auto end = [&](Attempt attempt) {
        if (!journaled) return attempt;
        std::string now;
        const bool whole = ::lseek(file.get(), 0, SEEK_SET) == 0 && ReadWhole(file.get(), now, kMaxFileSize) == 0 &&
                           (now == old || now == text) && Sync(file.get()) == 0;
        if (whole && RemoveJournal(written) == 0) return attempt;
        if (attempt.outcome == Outcome::Failed) attempt.oldBytesAt = PrintableName(written.path);
        return attempt;
    };
    const auto restore = [&](int error) {
        struct stat now {};
        if (::fstat(file.get(), &now) == 0) Overwrite(file.get(), old, static_cast<std::uint64_t>(now.st_size));
        return end(Failed(error));
    };
    if (text.size() > old.size()) {
#ifdef FALLOC_FL_KEEP_SIZE
        // Reserved without a change of size: a full disk fails here, before anything is written.
        if (::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(text.size())) != 0 &&
            errno != EOPNOTSUPP && errno != ENOSYS)
            return end(Failed(errno));
#endif
    }
    if (const int error = Overwrite(file.get(), text, old.size())) return restore(error);
    const Attempt done = end({Outcome::Saved, {}, {}});
    // Some file systems report a write's failure only here; what the file holds then is read back.
    if (file.Close() != 0) return Failed(errno);
    return done;
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
            path_ = folder + (folder == "/" ? "" : "/") + kConfigFileName;
            displayName_ = PrintableName(path_);
        }
        std::free(path);
    }
}

ConfigFile::~ConfigFile() {
    if (folder_ >= 0) ::close(folder_);
}

RecoveryReport ConfigFile::Recover() {
    Target target;
    if (folder_ < 0 || !ResolveTarget(folder_, kConfigFileName, path_, target).empty()) return {};
    return detail::posix::Recover(target);
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

SaveResult ConfigFile::Save(const std::string& text, const std::function<bool()>& allowUnprotected) {
    // An over-size write must fail with EFBIG and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    Target target;
    std::string problem;
    if (folder_ < 0) {
        problem = "the current folder cannot be opened: " + Reason(folderError_);
    } else if (struct stat folder {}; ::fstat(folder_, &folder) == 0 && folder.st_nlink == 0) {
        problem = "the folder it was in was deleted";
    } else {
        problem = ResolveTarget(folder_, kConfigFileName, path_, target);
    }
    const detail::FileState before = Look(target.folder, target.name);
    const auto settle = [&](std::string reason, std::string oldBytesAt = {}) {
        SaveResult result =
            detail::Settle(std::move(reason), before, Look(target.folder, target.name), text, std::move(oldBytesAt));
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
        attempt = target.exists ? WriteInPlace(target, text, allowUnprotected) : Failed(whyNot);
    if (attempt.outcome == Outcome::Declined) {
        SaveResult declined = settle("the player chose not to save without a record of the old settings");
        declined.declined = true;
        return declined;
    }
    if (attempt.outcome == Outcome::Failed) return settle(attempt.reason, attempt.oldBytesAt);
    snapshot_ = SnapshotOf(Look(folder_, kConfigFileName));
    return detail::SavedResult();
}

}  // namespace kov
