// The types the file boundary's pieces share, below all of them: what reading and saving found,
// and why something could not be done. Words for the player are made from them only where the
// player is told (file_messages.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "configuration_store.h"
#include "file_system.h"

namespace kov {

inline constexpr const char* kConfigFileName = "kov.ini";
// Far beyond any real settings file; a larger one is not read.
inline constexpr std::uint64_t kMaxFileSize = 16u << 20;

// Why the file could not be read or saved, or its folder used: a finding of the engine's own,
// or a call that the system refused (failure).
struct Reason {
    enum class What : std::uint8_t {
        None,
        Refused,            // failure: the system's refusal
        NotAFile,           // kind: a folder, a FIFO, a device or a socket
        TooLarge,           // larger than kMaxFileSize
        Utf16,              // UTF-16 text
        MarkedReadOnly,     // no write permission for its owner, or the read-only attribute
        StrangersLink,      // a link another user made to a file not theirs, run with raised rights
        FolderNotOpened,    // failure: the folder the program was started in cannot be held
        WindowsFolder,      // path: started in the Windows folder, not the game's
        FolderDeleted,      // the starting folder was deleted after the dialog opened
        FolderMoved,        // moved, renamed or replaced after the dialog opened
        ReplacedMeanwhile,  // another program replaced the file while it was saved
        NoJournal,          // failure: no record of the old bytes could be written anywhere
        NotSynced,          // failure: the new file, or its folder, could not be made durable
        Declined,           // the player chose not to save without a record of the old bytes
    };
    Reason() = default;
    explicit Reason(What found, detail::Failure refusal = {}) : what(found), failure(refusal) {}
    What what = What::None;
    detail::Failure failure;
    detail::Kind kind = detail::Kind::None;
    std::string path;
    // Who owns what was refused (AccessDenied), when another user than the player does.
    std::string owner;
    // The system's own words for failure's code in the player's language, where it has them.
    std::string systemWords;
    explicit operator bool() const { return what != What::None; }
};

enum class OpenOutcome {
    Read,
    Missing,     // no file: the defaults
    Unreadable,  // a file that cannot be read whole
    NoFolder,    // the folder cannot be used at all: nothing is read, and nothing can be saved
};

// Whether OK could save over a file that could not be read.
enum class Overwritable {
    Yes,              // OK saves the settings shown over it
    ReadOnly,         // no: it is marked read-only or may not be written
    NotARegularFile,  // no: it is a folder, a device, a FIFO or a socket
};

struct OpenResult {
    OpenOutcome outcome = OpenOutcome::Missing;
    Reason reason;  // Unreadable, NoFolder
    Overwritable overwritable = Overwritable::NotARegularFile;  // Unreadable
    ReadReport dropped;  // Read: the lines a save would lose
};

// What a file holds after a save that did not finish, against what it held before and the
// text being saved.
enum class FileHolds {
    OldBytes,  // what it held before (or still no file, when there was none)
    NewText,   // the text that was to be saved
    Other,     // neither: bytes that are not the old ones and not the new text
    Nothing,   // there is no file under its name
    Unknown,   // it could not be read back
};

// The three ends of a save. Every failure is settled by reading the file back, never assumed.
enum class SaveOutcome {
    Saved,
    NotSavedUnchanged,  // not saved, and the file was found as it was
    NotSavedChanged,    // not saved, and the file is not as it was: see holds and oldBytesAt
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::NotSavedChanged;  // nothing is as it was until shown to be
    Reason reason;                                       // why not
    FileHolds holds = FileHolds::Unknown;
    std::string oldBytesAt;  // NotSavedChanged: where the old bytes are kept when not in the file
    bool saved() const { return outcome == SaveOutcome::Saved; }
    bool declined() const { return reason.what == Reason::What::Declined; }
};

// What the recovery at start found of saves that a crash or a power cut interrupted.
struct RecoveryReport {
    bool restored = false;   // the file was put back as it was before the interrupted save
    Reason failure;          // it could not be put back: why (its journal is kept, in failedJournal)
    std::string failedJournal;
    std::vector<std::string> keptJournals;  // journals of a file that is gone or is another file now
    bool empty() const { return !restored && !failure && keptJournals.empty(); }
};

}  // namespace kov
