// What is on disk under a name at one moment, as reading, saving and the recovery at start all
// look at it through the primitives: a file read whole, a look with its bytes, whether a later
// look shows the same file unchanged, and a name removed for good.
#pragma once

#include <optional>
#include <string>

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

// The file a save writes, or a journal is of: the end of any links from kov.ini, as it was.
struct Target {
    Folder folder;
    std::string name;
    FileState before;
    bool exists() const { return before.exists; }
};

// From the start to the end; TooLarge past the limit.
Failure ReadWhole(FileSystem& fs, const File& file, std::string& bytes, std::uint64_t limit = kMaxFileSize);
Failure ReadWhole(FileSystem& fs, const Folder& folder, const std::string& name, std::string& bytes,
                  std::uint64_t limit = kMaxFileSize);
// A look at the name; the bytes too, when asked and it is a regular file that can be read whole.
FileState LookAt(FileSystem& fs, const Folder& folder, const std::string& name, bool withBytes = true);
// Whether a later look shows the same file unchanged: there or not as it was, the same identity,
// size and time, and the same bytes where the first look had them.
bool Unchanged(const FileState& before, const FileState& now);

// The name of a file in a folder, as the player reads it.
std::string PathOf(const Folder& folder, const std::string& name);
// Removes the name, and makes the removal durable.
Failure RemoveDurably(FileSystem& fs, const Folder& folder, const std::string& name);

}  // namespace kov::detail
