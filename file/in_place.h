// Writing over a file in place, so that at no moment does it read as a mixture of old and new
// settings: nothing changes its size before the bytes are written, and a shorter text goes out
// padded with line ends to the old size in the same write, cut to its own size after.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "file_system.h"

namespace kov::detail {

// The bytes put over the old ones in one write: the text, followed, when it is shorter, by line
// ends up to the old size, so that no old tail is ever read as settings.
std::string PaddedOver(std::string_view text, std::size_t oldSize);
// Puts bytes over an open file oldSize long, and syncs it.
Failure Overwrite(FileSystem& fs, const File& file, std::string_view bytes, std::uint64_t oldSize);

}  // namespace kov::detail
