// How a save that did not finish is settled, the same on every platform: the file is read back
// and what it holds decides the outcome, compared with what it held before and the new text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config_file.h"

namespace kov::detail {

// The file under its name at one moment: absent, present but unreadable, or its bytes.
struct FileState {
    bool exists = false;
    FileSnapshot identity;             // device, inode, size and time, when it exists
    std::optional<std::string> bytes;  // when it could be read whole
};

// The result of a save that failed for `reason`, from the file's state before the save and now.
// newBytes is the text as the file would hold it; oldBytesAt names a copy of the old bytes
// kept elsewhere (empty when there is none).
SaveResult Settle(std::string reason, const FileState& before, const FileState& now, std::string_view newBytes,
                  std::string oldBytesAt = {});

SaveResult SavedResult();

// The snapshot of a file as looked at, which ChangedSinceRead compares with; missingError is
// the platform's code for a file that is not there.
FileSnapshot SnapshotOf(const FileState& state, int missingError);

}  // namespace kov::detail
