// File names as text for the player: valid UTF-8 passes, anything else is shown escaped.
#pragma once

#include <string>
#include <string_view>

namespace kov {

// Bytes that are not valid UTF-8, and control characters, become "\xNN".
std::string PrintableName(std::string_view bytes);

}  // namespace kov
