// Settling a save that did not finish from what the disk holds.
#include "save_outcome.h"

namespace kov::detail {

namespace {

FileHolds WhatTheFileHolds(const FileState& before, const FileState& now, std::string_view newBytes) {
    if (!now.exists) return before.exists ? FileHolds::Nothing : FileHolds::OldBytes;
    if (now.bytes) {
        if (before.exists && before.bytes && *now.bytes == *before.bytes) return FileHolds::OldBytes;
        if (*now.bytes == newBytes) return FileHolds::NewText;
    }
    // A file whose bytes cannot be read (its owner may write but not read it): the same file,
    // size and time tell that nothing was written to it.
    if (before.exists && !before.bytes && Unchanged(before, now)) return FileHolds::OldBytes;
    return now.bytes ? FileHolds::Other : FileHolds::Unknown;
}

}  // namespace

SaveResult Settle(Reason reason, const FileState& before, const FileState& now, std::string_view newBytes,
                  std::string oldBytesAt) {
    SaveResult result;
    result.reason = std::move(reason);
    result.holds = WhatTheFileHolds(before, now, newBytes);
    if (result.holds == FileHolds::OldBytes) {
        result.outcome = SaveOutcome::NotSavedUnchanged;
        if (!before.exists) result.holds = FileHolds::Nothing;  // there was none, and there is none
    } else {
        result.outcome = SaveOutcome::NotSavedChanged;
        result.oldBytesAt = std::move(oldBytesAt);
    }
    return result;
}

}  // namespace kov::detail
