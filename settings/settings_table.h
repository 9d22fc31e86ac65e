// The settings the dialog shows, as data: the list items, the category paths, the twelve
// stored settings with their defaults, and the thirteen controls with their mappings.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "control_ids.h"
#include "mappings.h"

namespace kov {

namespace detail {
// Joins string literals at compile time, so that each path is formed from its pieces.
template <std::size_t... N>
consteval auto JoinLiterals(const char (&... pieces)[N]) {
    std::array<char, (N + ...) - sizeof...(N) + 1> joined{};
    std::size_t at = 0;
    ((std::copy(pieces, pieces + N - 1, joined.begin() + at), at += N - 1), ...);
    return joined;
}
}  // namespace detail

inline constexpr auto kDriverPath = detail::JoinLiterals("CONFIG_CATEGORY_MACHINE/", "Audio/", "Driver/");
inline constexpr auto kPlaybackPath = detail::JoinLiterals("CONFIG_CATEGORY_MACHINE/", "Audio/", "Playback/");
inline constexpr auto kEffectsPath = detail::JoinLiterals("CONFIG_CATEGORY_MACHINE/", "Audio/", "Effects/");
inline constexpr auto kGraphicsPath = detail::JoinLiterals("CONFIG_CATEGORY_MACHINE/", "Graphics/");

struct ListItems {
    int32_t control;
    std::span<const char* const> items;  // position 0 first
};

// The seven lists, each filled with its items in order before the settings are loaded.
extern const std::array<ListItems, 7> kListItems;

struct Setting {
    const char* path;
    const char* key;  // exact, trailing blanks included
    int32_t defaultValue;
};

// In the order they are read, which is the order a missing file's values come into being.
extern const std::array<Setting, 12> kSettings;

enum class ControlKind { List, Check };

struct ControlBinding {
    int32_t control;
    ControlKind kind;
    std::size_t setting;  // index into kSettings
    LoadMapping load;     // stored value to list position or check state
    WriteMapping write;   // list position or check state (0 or 1) to the value stored
};

// In the order the controls are set when the settings are loaded.
extern const std::array<ControlBinding, 13> kControls;

// The binding of a control, or null for an identifier that is none of the thirteen.
const ControlBinding* FindControl(int32_t control);
// The items of a list, or an empty span.
std::span<const char* const> ItemsOf(int32_t control);

}  // namespace kov
