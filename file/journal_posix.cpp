// The rollback journal on POSIX systems.
#include "journal_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <optional>
#include <vector>

#include "printable_name.h"
#include "read_policy.h"

namespace kov::detail::posix {

namespace {

// A temporary file this old that no lock protects is no running save's.
constexpr std::time_t kStaleSeconds = 60;

// The state folder, made if missing (private to the user), held; invalid when it cannot be.
FileDescriptor OpenStateFolder(std::string& path, bool make) {
    path = StateFolder();
    if (path.empty()) return FileDescriptor();
    if (make) {
        for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
            ::mkdir(path.substr(0, at).c_str(), 0700);
        ::mkdir(path.c_str(), 0700);
    }
    return FileDescriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// Creates and syncs one journal file in a folder.
int WriteJournalIn(int folder, const std::string& name, const std::string& bytes) {
    FileDescriptor file(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!file.valid()) return errno;
    int error = WriteWhole(file.get(), bytes, 0);
    if (error == 0) error = Sync(file.get());
    if (error == 0 && file.Close() != 0) error = errno;
    if (error == 0) error = SyncFolder(folder);
    if (error != 0) ::unlinkat(folder, name.c_str(), 0);
    return error;
}

std::optional<std::string> ReadAll(int folder, const std::string& name) {
    FileDescriptor file(::openat(folder, name.c_str(), kReadFlags | O_NOFOLLOW));
    std::string bytes;
    // A journal holds the old bytes and a little more.
    if (!file.valid() || ReadWhole(file.get(), bytes, kMaxFileSize + 64 * 1024) != 0) return std::nullopt;
    return bytes;
}

void Unlink(int folder, const std::string& name) {
    if (::unlinkat(folder, name.c_str(), 0) == 0) SyncFolder(folder);
}

// One journal found at start, at (folder, name), finished against the target or kept.
void Finish(const Target& target, int folder, const std::string& name, const std::string& path, RecoveryReport& report) {
    const std::optional<std::string> bytes = ReadAll(folder, name);
    if (!bytes) return;
    const std::optional<Journal> journal = DecodeJournal(*bytes);
    // Cut short while it was written: its save never touched the file.
    if (!journal) return Unlink(folder, name);
    if (!target.exists || journal->device != static_cast<std::uint64_t>(target.status.st_dev) ||
        journal->inode != static_cast<std::uint64_t>(target.status.st_ino)) {
        report.keptJournals.push_back(PrintableName(path));
        return;
    }
    FileDescriptor file(::openat(target.folder, target.name.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    std::string now;
    int error = file.valid() ? ReadWhole(file.get(), now, kMaxFileSize) : errno;
    if (error == 0) {
        switch (StateAgainst(*journal, now)) {
            case JournalState::OldBytes:
            case JournalState::NewBytes:
                return Unlink(folder, name);
            case JournalState::NewPadded:
                // Written whole but for the cut: finished.
                if (::ftruncate(file.get(), static_cast<off_t>(journal->newSize)) == 0 && Sync(file.get()) == 0)
                    return Unlink(folder, name);
                error = errno;
                break;
            case JournalState::Neither:
                error = Overwrite(file.get(), journal->oldBytes, now.size());
                if (error == 0) {
                    std::string back;
                    if (::lseek(file.get(), 0, SEEK_SET) == 0 && ReadWhole(file.get(), back, kMaxFileSize) == 0 &&
                        back == journal->oldBytes) {
                        report.restored = true;
                        return Unlink(folder, name);
                    }
                    error = EIO;
                }
                break;
        }
    }
    report.failure = Reason(error);
    report.failedJournal = PrintableName(path);
}

// This program's own temporary files beside the file, that no running save holds.
void RemoveStaleTemporaries(int folder, const std::string& fileName) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = ::fdopendir(listing);  // owns the descriptor from here
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(entries)) {
        if (!IsTemporaryNameOf(entry->d_name, fileName)) continue;
        struct stat status {};
        if (::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::geteuid())
            continue;
        FileDescriptor file(::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!file.valid()) continue;
        // A running save holds its file locked; where locks are not kept, only age tells.
        if (::flock(file.get(), LOCK_EX | LOCK_NB) == 0 ||
            (errno != EWOULDBLOCK && std::time(nullptr) - status.st_mtim.tv_sec > kStaleSeconds))
            stale.emplace_back(entry->d_name);
    }
    ::closedir(entries);
    for (const std::string& name : stale) ::unlinkat(folder, name.c_str(), 0);
    if (!stale.empty()) SyncFolder(folder);
}

}  // namespace

bool WriteJournal(const Target& target, const Journal& journal, JournalFile& written, std::string& whyNot) {
    const std::string bytes = EncodeJournal(journal);
    const std::string beside = JournalNameBeside(target.name);
    int error = WriteJournalIn(target.folder, beside, bytes);
    if (error == 0) {
        written.folder = FileDescriptor(::openat(target.folder, ".", kFolderFlags));
        written.name = beside;
        const std::size_t slash = target.path.rfind('/');
        written.path = (slash == std::string::npos ? std::string() : target.path.substr(0, slash + 1)) + beside;
        return true;
    }
    // The folder takes no new file: the user's own state folder does.
    std::string statePath;
    FileDescriptor state = OpenStateFolder(statePath, true);
    const std::string name = JournalNameInStateFolder(journal.device, journal.inode);
    if (state.valid() && (error = WriteJournalIn(state.get(), name, bytes)) == 0) {
        written.folder = std::move(state);
        written.name = name;
        written.path = statePath + "/" + name;
        return true;
    }
    whyNot = Reason(state.valid() ? error : (statePath.empty() ? ENOENT : errno));
    return false;
}

int RemoveJournal(const JournalFile& journal) {
    if (::unlinkat(journal.folder.get(), journal.name.c_str(), 0) != 0) return errno;
    return SyncFolder(journal.folder.get());
}

int Overwrite(int fd, std::string_view bytes, std::uint64_t currentSize) {
    const std::string padded = PaddedOver(bytes, currentSize);
    if (const int error = WriteWhole(fd, padded, 0)) return error;
    if (padded.size() != bytes.size()) {
        // The padded text is on disk before the cut, so a power cut never leaves the old tail.
        if (const int error = Sync(fd)) return error;
        if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
    }
    return Sync(fd);
}

RecoveryReport Recover(const Target& target) {
    RecoveryReport report;
    if (target.folder < 0) return report;
    RemoveStaleTemporaries(target.folder, target.name);
    const std::size_t slash = target.path.rfind('/');
    const std::string folderPath = slash == std::string::npos ? std::string() : target.path.substr(0, slash + 1);
    const std::string beside = JournalNameBeside(target.name);
    Finish(target, target.folder, beside, folderPath + beside, report);
    // Journals of this file that went to the state folder (named by a file's identity).
    std::string statePath;
    FileDescriptor state = OpenStateFolder(statePath, false);
    if (!state.valid()) return report;
    const int listing = ::dup(state.get());
    DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (entries == nullptr) {
        if (listing >= 0) ::close(listing);
        return report;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(entries))
        if (IsJournalNameInStateFolder(entry->d_name)) names.emplace_back(entry->d_name);
    ::closedir(entries);
    for (const std::string& name : names) {
        const std::optional<std::string> bytes = ReadAll(state.get(), name);
        const std::optional<Journal> journal = bytes ? DecodeJournal(*bytes) : std::nullopt;
        const bool ours = journal ? journal->path == target.path
                                  : target.exists && name == JournalNameInStateFolder(target.status.st_dev,
                                                                                       target.status.st_ino);
        if (ours) Finish(target, state.get(), name, statePath + "/" + name, report);
    }
    return report;
}

}  // namespace kov::detail::posix
