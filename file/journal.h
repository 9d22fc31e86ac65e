// The rollback journal of an in-place save, the same on every platform: the file's name and
// identity (a hint only: a remounted disk gives other numbers), its old and new size and hash,
// and its old and new bytes as they were, written and synced before the file is touched (beside
// it, else in the player's state folder). A journal that does not decode whole (cut short by a crash while it was written) belongs to a
// save that had not touched the file yet. What the file holds against it decides what the next
// start does, so that it is never applied to another file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "file_state.h"
#include "file_system.h"

namespace kov::detail {

struct Journal {
    std::uint64_t device = 0;  // the file's identity when it was written: device and inode
    std::uint64_t inode = 0;   // (volume and file ID on Windows)
    std::string path;          // the file's name as the platform gives it (UTF-8 on Windows)
    std::uint64_t oldSize = 0;
    std::uint64_t oldHash = 0;
    std::uint64_t newSize = 0;
    std::uint64_t newHash = 0;
    std::string oldBytes;
    std::optional<std::string> newBytes;  // absent in journals of the first format
};

Journal JournalOf(const Info& info, std::string path, std::string oldBytes, std::string_view newBytes);
std::string EncodeJournal(const Journal& journal);
// The journal, or nothing when the bytes are not a whole journal of this program's.
std::optional<Journal> DecodeJournal(std::string_view bytes);

// What a file found at start holds against its journal.
enum class AgainstJournal {
    OldBytes,       // done with: the save had not touched it, or was put back
    NewText,        // done with: the save was finished
    NewTextPadded,  // the new text and the line ends that hide the old tail: to be cut
    Mixture,        // torn part way, each byte old or new: the old bytes go back
    Other,          // another file's bytes: never touched
};
// A first-format journal cannot tell a mixture; sameFile, from the identity, decides then.
AgainstJournal StateAgainst(const Journal& journal, std::string_view bytes, bool sameFile);

// A journal written and synced with its folder: beside the file when its folder takes new
// files, else in the player's state folder.
struct JournalPlace {
    Folder folder;
    std::string name;
};
// False, with why not, when it can be written nowhere; none is left of a journal half-written.
bool WriteJournal(FileSystem& fs, const Target& target, const Journal& journal, JournalPlace& written, Failure& whyNot);

// 64-bit FNV-1a: enough to tell whether the bytes a journal holds are whole (nothing here
// defends against a forger).
std::uint64_t Hash(std::string_view bytes);

}  // namespace kov::detail
