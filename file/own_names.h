// The program's own files beside kov.ini and in the player's state folder, named and recognised
// in one place: the temporary file of a replacement, the backup Windows keeps during one, and
// the journals of in-place writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kov::detail {

// "." + the file's name + "." + 8 random letters or digits.
std::string TemporaryName(const std::string& fileName);
bool IsTemporaryNameOf(std::string_view candidate, std::string_view fileName);
// Whether bytes can be what this program writes to a new file (settings text begins with the
// root's empty section header), or a start of it.
bool IsSettingsTextStart(std::string_view bytes);

// Where a replacement keeps the old file while it puts the new one in place (Windows).
std::string BackupName(const std::string& fileName);

// A journal beside the file, under a hidden name; in the state folder, under the file's identity.
std::string JournalNameBeside(std::string_view fileName);
std::string JournalNameInStateFolder(std::uint64_t device, std::uint64_t inode);
bool IsJournalNameInStateFolder(std::string_view name);

}  // namespace kov::detail
