// The settings dialog on the Windows user interface: dialog template 102 from the shared
// table, the window's side of the dialog's steps (controls, list items, Tab stops, task dialogs
// and message boxes), the system menu's About item and the icons. What happens on opening, on
// a change and on OK is the controller's.
#pragma once

#include <windows.h>

#include <string>

#include "dialog_controller.h"

namespace kov::win32 {

class ConfigDialog : public DialogWindow {
public:
    explicit ConfigDialog(HINSTANCE instance);
    ~ConfigDialog() override;
    ConfigDialog(const ConfigDialog&) = delete;
    ConfigDialog& operator=(const ConfigDialog&) = delete;

    // Runs the dialog modally; IDOK or IDCANCEL.
    INT_PTR DoModal();

    // SettingsPanel on the controls.
    void SetListPosition(int32_t control, int32_t position) override;  // CB_SETCURSEL
    int32_t GetListPosition(int32_t control) override;                 // CB_GETCURSEL
    void SetCheck(int32_t control, int32_t state) override;            // BM_SETCHECK
    int32_t GetCheck(int32_t control) override;                        // BM_GETCHECK
    // The WS_DISABLED style bit, without repainting.
    void SetEnabled(int32_t control, bool enabled) override;
    // The whole dialog at once (RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW).
    void Redraw() override;
    // The rest of the window's side.
    void AddListItem(int32_t control, const char* text) override;  // CB_ADDSTRING
    // The WS_TABSTOP style bit.
    void SetTabStop(int32_t control, bool tabStop) override;
    // A question whose first button is the safe answer: default, Escape and the close box.
    bool Ask(const Question& question) override;
    // An error message box over the dialog.
    void ShowMessage(const std::string& text) override;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void OnCommand(int control, int notification);
    bool OnSysCommand(WPARAM command);
    bool OnPaint();
    HWND Item(int32_t control) const { return GetDlgItem(window_, control); }
    std::wstring Title() const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    DialogController controller_;  // holds the store: built with the dialog, cleared with it
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

}  // namespace kov::win32
