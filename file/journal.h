// The rollback journal of an in-place save, the same on every platform: the file's identity and
// name, its old and new size and hash, and its old bytes as they were, written and synced before
// the file is touched. A journal that does not decode whole (cut short by a crash while it was
// written) belongs to a save that had not touched the file yet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kov::detail {

struct Journal {
    std::uint64_t device = 0;  // the file's identity: device and inode (volume and file ID on Windows)
    std::uint64_t inode = 0;
    std::string path;          // the file's name as the platform gives it (UTF-8 on Windows)
    std::uint64_t oldSize = 0;
    std::uint64_t oldHash = 0;
    std::uint64_t newSize = 0;
    std::uint64_t newHash = 0;
    std::string oldBytes;
};

std::string EncodeJournal(const Journal& journal);
// The journal, or nothing when the bytes are not a whole journal of this program's.
std::optional<Journal> DecodeJournal(std::string_view bytes);

// Where journals go: beside the file under a hidden name, else in the user's state folder under
// a name made of the file's identity.
std::string JournalNameBeside(std::string_view fileName);
std::string JournalNameInStateFolder(std::uint64_t device, std::uint64_t inode);
bool IsJournalNameInStateFolder(std::string_view name);
// The program's temporary files beside a file: "." + its name + "." + 8 letters or digits.
bool IsTemporaryNameOf(std::string_view candidate, std::string_view fileName);

// What a file found at start holds, against its journal.
enum class JournalState {
    OldBytes,   // the save had not begun to write it
    NewBytes,   // the save finished writing it
    NewPadded,  // the new text followed by the line ends that hide the old tail: finished but for
                // the truncation, and read as the new settings
    Neither,    // torn: the old bytes are to be written back
};
JournalState StateAgainst(const Journal& journal, std::string_view bytes);

// The bytes an in-place write puts over the old ones in one write: the new text, followed, when it
// is shorter, by line ends up to the old size, so that no old tail is ever read as settings.
std::string PaddedOver(std::string_view text, std::size_t oldSize);

}  // namespace kov::detail
