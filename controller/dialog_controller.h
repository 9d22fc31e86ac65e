// The settings dialog's steps, once for every window layer: opening (reading kov.ini, asking
// about a file that cannot be read, loading the settings, the opening rules), each change the
// player makes, and OK (asking about a changed file and lines that cannot be kept, the save,
// telling why it failed). The window layer's ConfigDialog holds one as a member, so the store
// is built with the dialog and cleared when it is destroyed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "dialog_window.h"

namespace kov {

namespace detail {
class FileSystem;
}

class DialogController {
public:
    // Builds the store and takes hold of the current folder; the window is not used yet.
    explicit DialogController(DialogWindow& window);
    // The same, reaching the disk through the given primitives (a test's, that fail on demand).
    DialogController(DialogWindow& window, detail::FileSystem& fileSystem);
    ~DialogController();
    DialogController(const DialogController&) = delete;
    DialogController& operator=(const DialogController&) = delete;

    // Fills the lists, reads the file and shows its settings. False when the player chose to
    // quit rather than open a file that cannot be read, or when the folder cannot be used (the
    // player has been told): the dialog is not to be shown.
    bool Open();
    // A change the player made to a control (a list's selection, a click): stored at once.
    void Change(int32_t control);
    // OK. True when the settings were saved and the dialog is to close; false when the player
    // turned back at a question or the save failed (the player has been told why).
    bool Ok();
    // The full name of the file the dialog edits, as the player reads it (for the About box):
    // the folder's kov.ini, a name of another case, or the copy Windows keeps for the game.
    const std::string& FileName() const;

private:
    void FollowCheckedRadio();

    struct State;
    DialogWindow& window_;
    std::unique_ptr<State> state_;
};

// Memory ran out: one line on the standard error, and the program ends without touching the file.
[[noreturn]] void ExitOutOfMemory();

}  // namespace kov
