// What the next start does, before reading, with what a crash or a power cut left of a save:
// the file's journals finished or kept, a backup of a replacement put back or removed, and this
// program's stale temporary files beside the file removed.
#pragma once

#include <string>

#include "file_system.h"
#include "file_types.h"

namespace kov::detail {

RecoveryReport FinishInterruptedSaves(FileSystem& fs, const Folder& folder, const std::string& name);

}  // namespace kov::detail
