// The recovery at start, over the primitives of any platform.
#include "recovery.h"

#include <chrono>
#include <vector>

#include "file_state.h"
#include "in_place.h"
#include "journal.h"
#include "own_names.h"

namespace kov::detail {

namespace {

// A temporary file this old that no lock protects is no running save's.
constexpr std::int64_t kStaleSeconds = 60;
// A journal holds the old and the new bytes and a little more.
constexpr std::uint64_t kJournalMax = 2 * kMaxFileSize + 64 * 1024;

// Seconds since 1970, as a file's time is told.
std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// One journal found at start, finished against the file or kept.
void Finish(FileSystem& fs, const Target& file, const Folder& folder, const std::string& name, RecoveryReport& report) {
    std::string bytes;
    if (ReadWhole(fs, folder, name, bytes, kJournalMax)) return;
    const std::optional<Journal> journal = DecodeJournal(bytes);
    // Cut short while it was written: its save never touched the file.
    if (!journal) return static_cast<void>(RemoveDurably(fs, folder, name));
    const auto keep = [&] { report.keptJournals.push_back(PathOf(folder, name)); };
    if (!file.exists()) return keep();
    File open;
    std::string now;
    Failure failure = fs.Open(file.folder, file.name, true, open);
    if (!failure) failure = ReadWhole(fs, open, now);
    if (!failure) {
        const Info& info = file.before.info;
        switch (StateAgainst(*journal, now, journal->device == info.device && journal->inode == info.inode)) {
            case AgainstJournal::OldBytes:
            case AgainstJournal::NewText:
                return static_cast<void>(RemoveDurably(fs, folder, name));
            case AgainstJournal::NewTextPadded:
                // Written whole but for the cut: finished.
                failure = fs.SetSize(open, journal->newSize);
                if (!failure) failure = fs.Sync(open);
                if (!failure) return static_cast<void>(RemoveDurably(fs, folder, name));
                break;
            case AgainstJournal::Mixture: {
                failure = Overwrite(fs, open, journal->oldBytes, now.size());
                std::string back;
                if (!failure && !ReadWhole(fs, open, back) && back == journal->oldBytes) {
                    report.restored = true;
                    return static_cast<void>(RemoveDurably(fs, folder, name));
                }
                if (!failure) failure = {Problem::Other, 0};
                break;
            }
            case AgainstJournal::Other:
                return keep();  // another file's bytes: not this journal's to change
        }
    }
    report.failure = Reason(Reason::What::Refused, failure);
    report.failedJournal = PathOf(folder, name);
}

// This program's own temporary files beside the file, that no running save holds: known by
// their name and by what they hold, whatever owner the file system shows.
void RemoveStaleTemporaries(FileSystem& fs, const Folder& folder, const std::string& fileName) {
    std::vector<std::string> names;
    if (fs.List(folder, names)) return;
    bool removed = false;
    for (const std::string& name : names) {
        Info info;
        if (!IsTemporaryNameOf(name, fileName) || fs.Look(folder, name, info) || info.kind != Kind::Regular) continue;
        const LockState lock = fs.Probe(folder, name);
        // Where locks are not kept, only age tells.
        if (lock == LockState::Held || (lock == LockState::Unknown && Now() - info.modifiedSeconds <= kStaleSeconds))
            continue;
        std::string bytes;
        if (!ReadWhole(fs, folder, name, bytes) && IsSettingsTextStart(bytes)) removed = !fs.Remove(folder, name) || removed;
    }
    if (removed) fs.SyncFolder(folder);
}

// A backup that a replacement keeps of the old file: put back when a crash came between its two
// renames and the file is gone, else a spare copy.
void SettleBackup(FileSystem& fs, const Folder& folder, const std::string& fileName) {
    const std::string backup = BackupName(fileName);
    const FileState kept = LookAt(fs, folder, backup);
    if (!kept.exists) return;
    const FileState file = LookAt(fs, folder, fileName);
    // An empty file in its place is another program's, made the moment the old one was moved aside.
    if (!file.exists || (file.bytes && file.bytes->empty() && kept.bytes && !kept.bytes->empty())) {
        fs.Rename(folder, backup, fileName, file.exists);
        return;
    }
    // The file is whole (a replacement only renames whole files).
    RemoveDurably(fs, folder, backup);
}

}  // namespace

RecoveryReport FinishInterruptedSaves(FileSystem& fs, const Folder& folder, const std::string& name) {
    RecoveryReport report;
    Target file;
    Followed followed;
    if (fs.Resolve(folder, name, file.folder, file.name, followed) || (followed.strangersLink && fs.RaisedRights()))
        return report;
    RemoveStaleTemporaries(fs, file.folder, file.name);
    SettleBackup(fs, file.folder, file.name);
    file.before = LookAt(fs, file.folder, file.name, false);
    Finish(fs, file, file.folder, JournalNameBeside(file.name), report);
    // Journals of this file that went to the state folder: its path or its identity tells.
    Folder state;
    std::vector<std::string> names;
    if (fs.OpenStateFolder(false, state) || fs.List(state, names)) return report;
    const std::string path = file.folder->path + file.name;
    const Info& info = file.before.info;
    for (const std::string& journalName : names) {
        if (!IsJournalNameInStateFolder(journalName)) continue;
        std::string bytes;
        const std::optional<Journal> journal =
            ReadWhole(fs, state, journalName, bytes, kJournalMax) ? std::nullopt : DecodeJournal(bytes);
        const bool identity = file.exists() && (journal ? journal->device == info.device && journal->inode == info.inode
                                                        : journalName == JournalNameInStateFolder(info.device, info.inode));
        if (identity || (journal && journal->path == path)) Finish(fs, file, state, journalName, report);
    }
    return report;
}

}  // namespace kov::detail
