// What screen readers hear of the dialog's controls on Windows, through Microsoft Active
// Accessibility. Windows names a list after the static text before it in z-order, and the
// template draws most labels after their lists, so a list would be heard by the wrong label or
// by its selected item: each list is named by its label from the dialog's table instead. The
// template also draws the group boxes after the controls they frame, so no window order links
// a control to its group: each control inside a group box has that box as its accessible
// parent. Everything else, buttons', boxes' and radio buttons' names from their captions among
// it, is Windows' own standard object.
#pragma once

#include <windows.h>

#include "dialog_template.h"

namespace kov::win32 {

// For a dialog made from the template (its controls in the template's order), once its
// controls exist; the names in the language spoken now.
void MakeControlsAccessible(HWND dialog, const DialogTemplate& dialogTemplate);

}  // namespace kov::win32
