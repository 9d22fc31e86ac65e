// The control surface that the settings logic works through. The dialog implements it on
// its real controls; tests implement it with a recording double.
#pragma once

#include <cstdint>

namespace kov {

class SettingsPanel {
public:
    virtual ~SettingsPanel() = default;

    // Selects the item at a 0-based position; a negative position or one past the last item
    // selects nothing. Setting a control from code never counts as a user change.
    virtual void SetListPosition(int32_t control, int32_t position) = 0;
    // The selected position, or -1 when nothing is selected.
    virtual int32_t GetListPosition(int32_t control) = 0;
    // 0 clears a check box or radio button, 1 checks it.
    virtual void SetCheck(int32_t control, int32_t state) = 0;
    // Non-zero when checked.
    virtual int32_t GetCheck(int32_t control) = 0;
    // A disabled control keeps its state and sends no change notifications.
    virtual void SetEnabled(int32_t control, bool enabled) = 0;
    // Repaints the whole dialog at once.
    virtual void Redraw() = 0;
};

}  // namespace kov
