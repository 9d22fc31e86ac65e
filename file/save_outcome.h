// How a save that did not finish is settled, the same on every platform: the file is read back
// and what it holds decides the outcome, compared with what it held before and the new text.
#pragma once

#include <string>
#include <string_view>

#include "file_state.h"
#include "file_types.h"

namespace kov::detail {

// The result of a save that failed for `reason`, from the file's state before the save and now.
// newBytes is the text as the file would hold it; oldBytesAt names a copy of the old bytes
// kept elsewhere (empty when there is none).
SaveResult Settle(Reason reason, const FileState& before, const FileState& now, std::string_view newBytes,
                  std::string oldBytesAt = {});

}  // namespace kov::detail
