// What the dialog controller needs of a window layer: the settings' controls (SettingsPanel),
// filling the lists and the Tab chain, and asking and telling the player. Each window layer
// implements it on its own widgets and message boxes; tests implement it with a recording double.
#pragma once

#include <cstdint>
#include <string>

#include "settings_panel.h"

namespace kov {

// Texts are UTF-8 in the player's language, plain: names in them are never markup.
struct Question {
    std::string text;
    const char* safeButton;   // the default; Escape and the close box answer it too
    const char* otherButton;
};

class DialogWindow : public SettingsPanel {
public:
    // Appends an item (UTF-8 text) to a list.
    virtual void AddListItem(int32_t control, const char* text) = 0;
    // Whether the Tab key stops at the control.
    virtual void SetTabStop(int32_t control, bool tabStop) = 0;
    // Asks modally; true when the player chose the other button, false for the safe answer.
    virtual bool Ask(const Question& question) = 0;
    // Tells the player that something failed; the dialog stays open as it was. Before the
    // dialog is shown, returns only once the player has read it.
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace kov
