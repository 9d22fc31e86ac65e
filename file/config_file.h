// The file boundary: kov.ini in the folder the program was started in, read when the dialog
// opens and saved on OK. Nothing else in the program touches the file. The policy is written
// once here and in the files beside it; beneath it, each platform gives only primitives
// (file_system.h).
//
// Contract, written once here:
// - The file is that folder's: reached through a handle on the starting folder (on Windows,
//   through the folder's name, checked against the folder held open since the start: a folder
//   moved or replaced is refused), so a long, undecodable or deleted folder name never leads to
//   another folder's file. The Windows folder itself is never used, and an old game's
//   VirtualStore copy, which is what the game reads, is the file when it exists. Without a
//   kov.ini, a name that matches it ignoring ASCII case (KOV.INI, copied from a CD) is the
//   file, as the game finds it under Wine.
// - Reading takes all or nothing: a file that exists but cannot be read completely (not a
//   regular file, no permission, an I/O error, larger than kMaxFileSize, UTF-16 text) leaves
//   the store untouched and says why. Nothing blocks: a FIFO is opened without waiting.
// - Saving never leaves a half-written file: on any failure the result says what the file was
//   found to hold when it was read back. A crash or a power cut at any instant leaves the old
//   or the new bytes whole on disk (in the file, or in the journal of an in-place write, which
//   the next start finishes), and a kill never leaves a file that reads as a mixture of the two.
//   Owner, group, mode, extended attributes (ACLs among them), Windows' attributes and creation
//   time, and hard links are kept; a symbolic link stays a link and its target receives the
//   text; something that is not a regular file, or a file marked read-only or that this program
//   may not write, is never replaced.
// - Reasons are plain words, ready to show.
// - The text is given and read with "\n" line ends; on Windows the file has "\r\n".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "configuration_store.h"
#include "file_system.h"

namespace kov {

inline constexpr const char* kConfigFileName = "kov.ini";
// Far beyond any real settings file; a larger one is not read.
inline constexpr std::uint64_t kMaxFileSize = 16u << 20;

// The file as it was seen when read: compared again before a save.
struct FileSnapshot {
    detail::Problem problem = detail::Problem::None;  // of looking at it: NotFound when there was none
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool hashed = false;  // the bytes were read, and hash holds them
    std::uint64_t hash = 0;
    bool operator==(const FileSnapshot&) const = default;
};

enum class OpenOutcome {
    Read,
    Missing,     // no file: the defaults
    Unreadable,  // a file that cannot be read whole
    NoFolder,    // the folder cannot be used at all: nothing is read, and nothing can be saved
};

// What OK would do to a file that could not be read.
enum class Replacement {
    Allowed,          // replace it with the settings shown
    ReadOnly,         // nothing: it is marked read-only or may not be written
    NotARegularFile,  // nothing: it is a folder, a device, a FIFO or a socket
};

struct OpenResult {
    OpenOutcome outcome = OpenOutcome::Missing;
    std::string reason;  // Unreadable, NoFolder: why, in plain words
    Replacement replacement = Replacement::NotARegularFile;  // Unreadable
    ReadReport dropped;  // Read: the lines a save would lose
};

// What a file holds, against what it held before a save and the text being saved.
enum class FileHolds {
    OldBytes,       // what it held before (or still no file, when there was none)
    NewText,        // the text that was to be saved
    NewTextPadded,  // the new text and the line ends that hide the old tail, not yet cut
    Mixture,        // an in-place write torn part way: each byte old or new
    Other,          // neither: bytes that are not the old ones and not the new text
    Nothing,        // there is no file under its name
    Unknown,        // it could not be read back
};

// The three ends of a save. Every failure is settled by reading the file back, never assumed.
enum class SaveOutcome {
    Saved,
    NotSavedUnchanged,  // not saved, and the file was found as it was
    NotSavedChanged,    // not saved, and the file is not as it was: see holds and oldBytesAt
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::NotSavedChanged;  // nothing is as it was until shown to be
    std::string reason;                                  // why not, in plain words
    FileHolds holds = FileHolds::Unknown;
    std::string oldBytesAt;  // NotSavedChanged: where the old bytes are kept when not in the file
    bool declined = false;   // not saved because the player said so when asked during the save
    bool saved() const { return outcome == SaveOutcome::Saved; }
};

// What the recovery at start found of saves that a crash or a power cut interrupted.
struct RecoveryReport {
    bool restored = false;   // the file was put back as it was before the interrupted save
    std::string failure;     // it could not be put back: why (its journal is kept, in failedJournal)
    std::string failedJournal;
    std::vector<std::string> keptJournals;  // journals of a file that is gone or is another file now
    bool empty() const { return !restored && failure.empty() && keptJournals.empty(); }
};

class ConfigFile {
public:
    // Takes hold of the current folder, through the platform's primitives or the given ones.
    ConfigFile();
    explicit ConfigFile(detail::FileSystem& fileSystem);
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    // The file's absolute name when it can be formed (bytes that are not UTF-8 escaped), else
    // "kov.ini in the current folder".
    const std::string& DisplayName() const { return displayName_; }

    // Before reading: finishes what a crash or a power cut left of a save. A journal of an
    // in-place write is finished when the file holds its old or new bytes or a torn mixture of
    // them: removed, after the old bytes are written back over a mixture. A journal of a file
    // that holds anything else, or is gone, is kept and reported. This program's stale
    // temporary files beside the file go, and a backup left by a replacement is put back when
    // the file is gone.
    RecoveryReport Recover();
    // Adds the file's settings to the store, or nothing. A ConfigurationException (out of
    // memory) passes to the caller.
    OpenResult Read(ConfigurationStore& store);
    // Whether the file appeared, vanished, or changed in identity, size, time or bytes since Read.
    bool ChangedSinceRead() const;
    // Replaces the file's contents with text (creating the file when there is none). A write in
    // place is protected by a journal of the old bytes; when none can be written anywhere,
    // allowUnprotected is asked first (no answer: not saved).
    SaveResult Save(const std::string& text, const std::function<bool()>& allowUnprotected = {});

private:
    // Why nothing may be saved in the starting folder now (empty when it may).
    std::string FolderProblem() const;
    // What the file under its name is now, for ChangedSinceRead.
    FileSnapshot Observe(bool withHash) const;

    detail::FileSystem& fs_;
    detail::Folder start_;   // the starting folder, held from the start
    std::string startProblem_;  // why it is not to be used at all
    detail::Folder folder_;  // the file's folder: the starting one, or the VirtualStore copy's
    std::string name_;       // the file's name in it, as found there
    std::string displayName_;
    FileSnapshot snapshot_;
};

}  // namespace kov
