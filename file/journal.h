// The rollback journal of an in-place save, the same on every platform: the file's name and
// identity (a hint only: a remounted disk gives other numbers), its old and new size and hash,
// and its old and new bytes as they were, written and synced before the file is touched. A
// journal that does not decode whole (cut short by a crash while it was written) belongs to a
// save that had not touched the file yet. What the file holds against it decides what the next
// start does, so that it is never applied to another file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "file_types.h"

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

// Where journals go: beside the file under a hidden name, else in the user's state folder under
// a name made of the file's identity.
std::string JournalNameBeside(std::string_view fileName);
std::string JournalNameInStateFolder(std::uint64_t device, std::uint64_t inode);
bool IsJournalNameInStateFolder(std::string_view name);
// The program's temporary files beside a file: "." + its name + "." + 8 letters or digits.
bool IsTemporaryNameOf(std::string_view candidate, std::string_view fileName);
// Whether bytes can be what this program writes to a new file (settings text begins with the
// root's empty section header), or a start of it.
bool IsSettingsTextStart(std::string_view bytes);

// What a file found at start holds against its journal: OldBytes, NewText, NewTextPadded (to
// be cut), Mixture (each byte old or new: the old bytes go back), or Other (another file's
// bytes: never touched). A first-format journal cannot tell a mixture; sameFile, from the
// identity, decides then.
FileHolds StateAgainst(const Journal& journal, std::string_view bytes, bool sameFile);

// The bytes an in-place write puts over the old ones in one write: the new text, followed, when it
// is shorter, by line ends up to the old size, so that no old tail is ever read as settings.
std::string PaddedOver(std::string_view text, std::size_t oldSize);

}  // namespace kov::detail
