// The ways a save puts the new text in place, tried in turn by ConfigFile::Save: a new file
// put over the old one (or made, when there was none); the old file written in place under a
// journal of its old bytes; and, where Windows virtualizes an old game's writes, its copy.
// Each says whether it is done, failed, or is not the way for this file (and why), or that the
// player declined when asked; what the file holds is settled from the disk by the caller.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "file_state.h"
#include "file_system.h"

namespace kov::detail {

struct Attempt {
    enum Result { Done, Failed, NotThisWay, Declined } result = Failed;
    Reason reason;           // Failed, NotThisWay, Declined: why
    std::string oldBytesAt;  // Failed: where the old bytes are kept, when not in the file
};

// A new file beside the target, written and synced, then put in its place whole. NotThisWay
// when that would lose something the old file has (another hard link, an owner or attributes
// that cannot be given to a new file), or when the folder or the disk takes no new file.
Attempt ReplaceWhole(FileSystem& fs, const Target& target, std::string_view bytes);
// Over the old bytes, keeping the file itself. A journal of them is written and synced first
// (beside the file, else in the user's state folder); when none can be, allowUnprotected is
// asked (no answer: Failed). The old bytes go back if a step fails; the journal goes only when
// the file holds the old bytes or the new text whole.
Attempt WriteInPlace(FileSystem& fs, const Target& target, std::string_view bytes,
                     const std::function<bool()>& allowUnprotected);
// Where an old game's writes are virtualized: its copy of folder, made with the text. Done, or
// NotThisWay.
Attempt SaveInVirtualStore(FileSystem& fs, const Folder& folder, const std::string& name, std::string_view bytes,
                           Folder& copy);

}  // namespace kov::detail
