// Dialogs described as data: each control's identifier, kind, rectangle in dialog units,
// text and flags, in tab order. dialog_builder.h turns a template into widgets.
#pragma once

#include <cstdint>
#include <span>

#include "resource_ids.h"

namespace kov {

inline constexpr int32_t IDC_STATIC = -1;
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

inline constexpr const char* kAboutMenuText = KOV_ABOUT_MENU_TEXT;

}  // namespace kov
