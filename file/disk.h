// Steps over the primitives that reading, saving and the recovery at start share: a file read
// whole, a look at a file with its bytes, a new file of this program's written whole, and bytes
// put over a file in place so that it never reads as a mixture of old and new.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "file_system.h"
#include "file_types.h"

namespace kov::detail {

// The file under a name at one moment: absent, present but unreadable, or its bytes.
struct FileState {
    bool exists = false;
    Problem problem = Problem::NotFound;  // why it is not there, when it is not
    Info info;
    std::optional<std::string> bytes;  // when it could be read whole
};

// From the start to the end; TooLarge past the limit.
Failure ReadWhole(FileSystem& fs, const File& file, std::string& bytes, std::uint64_t limit = kMaxFileSize);
FileState LookWhole(FileSystem& fs, const Folder& folder, const std::string& name);
// What ChangedSinceRead compares.
FileSnapshot SnapshotOf(const FileState& state);

// A new hidden file of this program's holding bytes, synced with its folder; none is left
// when a step fails.
Failure WriteNewFile(FileSystem& fs, const Folder& folder, const std::string& name, std::string_view bytes);
// Puts bytes over an open file currentSize long so that at no moment does it read as a
// mixture: nothing changes its size before the bytes are written, and a shorter text goes out
// padded with line ends to the current size in the same write, cut to its own size after.
Failure Overwrite(FileSystem& fs, const File& file, std::string_view bytes, std::uint64_t currentSize);

// A refusal of the system's, as a reason.
Reason Refusal(const Failure& failure, Reason::What what = Reason::What::Refused);
// The name of a file in a folder, as the player reads it.
std::string PathOf(const Folder& folder, const std::string& name);
// The program's temporary name for a new file beside one: "." + its name + "." + 8 letters or digits.
std::string TemporaryName(const std::string& fileName);

}  // namespace kov::detail
