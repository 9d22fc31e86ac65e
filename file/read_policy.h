// What reading makes of a file, the same on every platform: the bytes once read whole (UTF-16
// refused, the rest read into the store and remembered by hash).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "file_system.h"
#include "file_types.h"

namespace kov::detail {

// Why something that is not a regular file is not read or replaced.
Reason NotARegularFile(Kind kind);
// 64-bit FNV-1a: enough to tell whether bytes changed (nothing here defends against a forger).
std::uint64_t Hash(std::string_view bytes);
// Fills result (outcome, reason, dropped lines) and snapshot's hash from a whole file's bytes.
void TakeBytes(ConfigurationStore& store, std::string_view bytes, OpenResult& result, FileSnapshot& snapshot);

}  // namespace kov::detail
