// The settings dialog on the Windows user interface: dialog template 102 from the shared
// table, the settings logic on its controls through SettingsPanel, the system menu's About
// item, the icons, and the file on opening and on OK.
#pragma once

#include <windows.h>

#include <string>

#include "config_file.h"
#include "configuration_store.h"
#include "settings_panel.h"

namespace kov::win32 {

class ConfigDialog : public SettingsPanel {
public:
    explicit ConfigDialog(HINSTANCE instance);
    ~ConfigDialog() override;
    ConfigDialog(const ConfigDialog&) = delete;
    ConfigDialog& operator=(const ConfigDialog&) = delete;

    // Runs the dialog modally; IDOK or IDCANCEL.
    INT_PTR DoModal();

    // On the controls: CB_SETCURSEL, CB_GETCURSEL, BM_SETCHECK and BM_GETCHECK; disabling sets
    // the WS_DISABLED style bit without repainting; Redraw repaints the whole dialog at once.
    void SetListPosition(int32_t control, int32_t position) override;
    int32_t GetListPosition(int32_t control) override;
    void SetCheck(int32_t control, int32_t state) override;
    int32_t GetCheck(int32_t control) override;
    void SetEnabled(int32_t control, bool enabled) override;
    void Redraw() override;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void OnOK();
    void OnCommand(int control, int notification);
    bool OnSysCommand(WPARAM command);
    bool OnPaint();
    // Asks a question whose first button is the safe answer (default, Escape, close box); true
    // for the other one.
    bool Ask(const std::string& text, const char* safeButton, const char* otherButton);
    void FollowCheckedRadio();
    HWND Item(int32_t control) const { return GetDlgItem(window_, control); }
    std::wstring Title() const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    ConfigurationStore store_;
    ConfigFile file_;     // kov.ini in the folder that was current when the dialog opened
    ReadReport dropped_;  // what reading could not keep
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

}  // namespace kov::win32
