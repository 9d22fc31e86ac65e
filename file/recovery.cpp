// The recovery at start, over the primitives of any platform.
#include "recovery.h"

#include <optional>
#include <vector>

#include "disk.h"
#include "journal.h"
#include "save_strategies.h"

namespace kov::detail {

namespace {

// A temporary file this old that no lock protects is no running save's.
constexpr std::int64_t kStaleSeconds = 60;

std::optional<std::string> ReadAll(FileSystem& fs, const Folder& folder, const std::string& name) {
    File file;
    std::string bytes;
    // A journal holds the old and the new bytes and a little more.
    if (fs.Open(folder, name, false, file) || ReadWhole(fs, file, bytes, 2 * kMaxFileSize + 64 * 1024)) return std::nullopt;
    return bytes;
}

void Remove(FileSystem& fs, const Folder& folder, const std::string& name) {
    if (!fs.Remove(folder, name)) fs.SyncFolder(folder);
}

// The file the journals are of: where its links end, and what it is now.
struct Subject {
    Folder folder;
    std::string name;
    Info info;
    bool exists = false;
};

// One journal found at start, finished against the file or kept.
void Finish(FileSystem& fs, const Subject& file, const Folder& folder, const std::string& name, RecoveryReport& report) {
    const std::optional<std::string> bytes = ReadAll(fs, folder, name);
    if (!bytes) return;
    const std::optional<Journal> journal = DecodeJournal(*bytes);
    // Cut short while it was written: its save never touched the file.
    if (!journal) return Remove(fs, folder, name);
    const auto keep = [&] { report.keptJournals.push_back(PathOf(folder, name)); };
    if (!file.exists) return keep();
    File open;
    std::string now;
    Failure failure = fs.Open(file.folder, file.name, true, open);
    if (!failure) failure = ReadWhole(fs, open, now);
    if (!failure) {
        const bool sameFile = journal->device == file.info.device && journal->inode == file.info.inode;
        switch (StateAgainst(*journal, now, sameFile)) {
            case FileHolds::OldBytes:
            case FileHolds::NewText:
                return Remove(fs, folder, name);
            case FileHolds::NewTextPadded:
                // Written whole but for the cut: finished.
                failure = fs.SetSize(open, journal->newSize);
                if (!failure) failure = fs.Sync(open);
                if (!failure) return Remove(fs, folder, name);
                break;
            case FileHolds::Mixture: {
                failure = Overwrite(fs, open, journal->oldBytes, now.size());
                std::string back;
                if (!failure && !ReadWhole(fs, open, back) && back == journal->oldBytes) {
                    report.restored = true;
                    return Remove(fs, folder, name);
                }
                if (!failure) failure = {Problem::Other, 0};
                break;
            }
            default:
                return keep();  // another file's bytes: not this journal's to change
        }
    }
    report.failure = Refusal(failure);
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
        if (lock == LockState::Held || (lock == LockState::Unknown && fs.Now() - info.modifiedSeconds <= kStaleSeconds))
            continue;
        const std::optional<std::string> bytes = ReadAll(fs, folder, name);
        if (bytes && IsSettingsTextStart(*bytes)) removed = !fs.Remove(folder, name) || removed;
    }
    if (removed) fs.SyncFolder(folder);
}

// A backup that a replacement keeps of the old file: put back when a crash came between its two
// renames and the file is gone, else a spare copy.
void SettleBackup(FileSystem& fs, const Folder& folder, const std::string& fileName) {
    const std::string backup = BackupName(fileName);
    const FileState kept = LookWhole(fs, folder, backup);
    if (!kept.exists) return;
    const FileState file = LookWhole(fs, folder, fileName);
    // An empty file in its place is another program's, made the moment the old one was moved aside.
    if (!file.exists || (file.bytes && file.bytes->empty() && kept.bytes && !kept.bytes->empty())) {
        fs.Rename(folder, backup, fileName, file.exists);
        return;
    }
    // The file is whole (a replacement only renames whole files).
    Remove(fs, folder, backup);
}

}  // namespace

RecoveryReport FinishInterruptedSaves(FileSystem& fs, const Folder& folder, const std::string& name) {
    RecoveryReport report;
    Subject file;
    if (fs.Resolve(folder, name, file.folder, file.name)) return report;
    RemoveStaleTemporaries(fs, file.folder, file.name);
    SettleBackup(fs, file.folder, file.name);
    file.exists = !fs.Look(file.folder, file.name, file.info);
    Finish(fs, file, file.folder, JournalNameBeside(file.name), report);
    // Journals of this file that went to the state folder: its path or its identity tells.
    Folder state;
    std::vector<std::string> names;
    if (fs.OpenStateFolder(false, state) || fs.List(state, names)) return report;
    const std::string path = file.folder->path + file.name;
    for (const std::string& journalName : names) {
        if (!IsJournalNameInStateFolder(journalName)) continue;
        const std::optional<std::string> bytes = ReadAll(fs, state, journalName);
        const std::optional<Journal> journal = bytes ? DecodeJournal(*bytes) : std::nullopt;
        const bool identity = file.exists && (journal ? journal->device == file.info.device && journal->inode == file.info.inode
                                                      : journalName == JournalNameInStateFolder(file.info.device, file.info.inode));
        if (identity || (journal && journal->path == path)) Finish(fs, file, state, journalName, report);
    }
    return report;
}

}  // namespace kov::detail
