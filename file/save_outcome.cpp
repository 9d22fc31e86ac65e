// Settling a save that did not finish from what the disk holds.
#include "save_outcome.h"

namespace kov::detail {

namespace {

// Same file, same size, same time: nothing was written to it. Used when the bytes cannot be
// compared because the file cannot be read (a file its owner may write but not read).
bool SameUntouchedFile(const Info& a, const Info& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modifiedSeconds == b.modifiedSeconds &&
           a.modifiedNanoseconds == b.modifiedNanoseconds;
}

FileHolds WhatTheFileHolds(const FileState& before, const FileState& now, std::string_view newBytes) {
    if (!now.exists) return before.exists ? FileHolds::Nothing : FileHolds::OldBytes;
    if (now.bytes) {
        if (before.exists && before.bytes && *now.bytes == *before.bytes) return FileHolds::OldBytes;
        if (*now.bytes == newBytes) return FileHolds::NewText;
    }
    if (before.exists && !before.bytes && SameUntouchedFile(before.info, now.info)) return FileHolds::OldBytes;
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

SaveResult SavedResult() {
    SaveResult result;
    result.outcome = SaveOutcome::Saved;
    result.holds = FileHolds::NewText;
    return result;
}

}  // namespace kov::detail
