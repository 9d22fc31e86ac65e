// Dialogs described as data: each control's identifier, kind, rectangle in dialog units,
// text and flags, in tab order. dialog_builder.h turns a template into widgets.
#pragma once

#include <cstdint>
#include <span>

namespace kov {

inline constexpr int32_t IDC_STATIC = -1;
inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDCANCEL = 2;

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
    int pointSize;
    std::span<const ControlTemplate> controls;  // in tab order
};

extern const DialogTemplate kConfigDialogTemplate;  // dialog 102
extern const DialogTemplate kAboutDialogTemplate;   // dialog 100

inline constexpr int32_t IDS_ABOUT_MENU = 101;
extern const char* const kAboutMenuText;

}  // namespace kov
