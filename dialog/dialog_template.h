// Dialogs described as data: each control's identifier, kind, rectangle in dialog units,
// text and flags, in tab order. Each window layer turns a template into its controls; the texts
// are English, marked for the catalogue, and shown through ShownText in the player's language.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "catalogue.h"
#include "resource_ids.h"

namespace kov {

inline constexpr int32_t IDC_STATIC = -1;
inline constexpr int32_t IDC_ABOUT_FILE = 1100;  // the About box's line naming the settings file
#ifndef IDOK  // windows.h has them, with the same values
inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDCANCEL = 2;
#endif

enum class ControlType {
    DefaultPushButton,
    PushButton,
    DropDownList,
    StaticText,
    CheckBox,
    RadioButton,
    GroupBox,
    Icon,
};

// In dialog units: 1/4 of the font's average character width, 1/8 of its height.
struct DluRect {
    int left;
    int top;
    int width;
    int height;  // for a drop-down list, the height with its list dropped down
};

struct ControlTemplate {
    int32_t id;
    ControlType type;
    DluRect rect;
    const char* text;
    bool tabStop;
    bool group;  // starts a group
};

struct DialogTemplate {
    int32_t id;
    const char* title;
    int width;  // dialog units
    int height;
    const char* fontFace;  // where the platform has it; elsewhere its default sans-serif face
    int pointSize;
    std::span<const ControlTemplate> controls;  // in tab order
};

extern const DialogTemplate kConfigDialogTemplate;  // dialog 102
extern const DialogTemplate kAboutDialogTemplate;   // dialog 100

// The static text that names a list: for a screen reader, on every platform.
struct ListLabel {
    int32_t list;
    const char* label;  // its template text
};
extern const std::span<const ListLabel> kListLabels;
// The template text of a list's label, or null for a control that is none of the lists.
const char* LabelOfList(int32_t list);
// The group box that holds a control on screen, or null.
const ControlTemplate* GroupOf(const DialogTemplate& dialog, const ControlTemplate& control);

// TRANSLATORS: the window menu's item that opens the About box; "&" marks the letter that
// chooses it from the keyboard.
inline constexpr const char* kAboutMenuText = N_("&About config...");
static_assert(std::string_view(kAboutMenuText) == KOV_ABOUT_MENU_TEXT, "string 101 is the catalogue's text");

// A template's text as the player sees it: in the player's language, with {version} and, where
// given, {file} (the settings file's name) filled in.
std::string ShownText(const char* text, std::string_view fileName = {});

}  // namespace kov
