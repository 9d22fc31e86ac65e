// The Windows side of the rollback journal: writing it before an in-place write and removing it
// after, and what the next start does with what a crash left behind (journals, backups of a
// replacement, temporary files).
#pragma once

#include <string>

#include "config_file.h"
#include "journal.h"
#include "win32_io.h"

namespace kov::detail::win32 {

// A journal on disk (extended name), to be removed once the write it protects is done.
struct JournalFile {
    std::wstring name;
};

// Writes and flushes the journal: beside the target when its folder takes new files, else in the
// state folder. False, with why not, when it can be written nowhere.
bool WriteJournal(const Target& target, const Journal& journal, JournalFile& written, std::string& whyNot);
bool RemoveJournal(const JournalFile& journal);

// At start: this program's stale temporary files beside the target removed, a backup that a
// crash left put back or removed, and the target's journals finished or kept.
RecoveryReport Recover(const Target& target);

}  // namespace kov::detail::win32
