// The POSIX side of the rollback journal: writing it before an in-place write and removing it
// after, the in-place write itself, and what the next start does with what a crash left behind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "config_file.h"
#include "journal.h"
#include "posix_io.h"

namespace kov::detail::posix {

// A journal on disk, to be removed once the write it protects is done.
struct JournalFile {
    FileDescriptor folder;
    std::string name;
    std::string path;  // for messages
};

// Writes and syncs the journal (and its folder): beside the target when its folder takes new
// files, else in the state folder. False, with why not, when it can be written nowhere.
bool WriteJournal(const Target& target, const Journal& journal, JournalFile& written, std::string& whyNot);
// Removes it and syncs its folder.
int RemoveJournal(const JournalFile& journal);

// Puts bytes over a file in place, currently currentSize long, so that at no moment does it
// read as a mixture: nothing changes its size before the bytes are written, and a shorter text
// goes out padded with line ends to the current size in the same write, cut to its own size after.
int Overwrite(int fd, std::string_view bytes, std::uint64_t currentSize);

// At start: the journals of the target (beside it, and in the state folder) finished or kept,
// and this program's stale temporary files beside it removed.
RecoveryReport Recover(const Target& target);

}  // namespace kov::detail::posix
