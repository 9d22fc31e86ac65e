// The settings dialog on the Windows user interface.
#include "config_dialog.h"

#include <commctrl.h>

#include "about_dialog.h"
#include "accessible_controls.h"
#include "control_ids.h"
#include "dialog_memory_template.h"
#include "question_box.h"
#include "settings_table.h"
#include "win32_text.h"

namespace kov::win32 {

ConfigDialog::ConfigDialog(HINSTANCE instance) : instance_(instance), controller_(*this) {
    icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_APP_ICON), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_APP_ICON), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

ConfigDialog::~ConfigDialog() {
    if (icon_ != nullptr) DestroyIcon(icon_);
    if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

INT_PTR ConfigDialog::DoModal() {
    const std::vector<unsigned char> memory = MemoryTemplate(kConfigDialogTemplate);
    return DialogBoxIndirectParamW(instance_, reinterpret_cast<LPCDLGTEMPLATEW>(memory.data()), nullptr, Procedure,
                                   reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ConfigDialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<ConfigDialog*>(lParam)->window_ = window;
    }
    auto* dialog = reinterpret_cast<ConfigDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog != nullptr ? dialog->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR ConfigDialog::Handle(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            return OnSysCommand(wParam);
        case WM_PAINT:
            return OnPaint();
        case WM_QUERYDRAGICON:
            // The icon shown while the minimised window is dragged.
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(icon_));
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL ConfigDialog::OnInitDialog() {
    if (HMENU systemMenu = GetSystemMenu(window_, FALSE)) {
        // String 101 holds the item's English text, which the catalogue gives in the player's language.
        wchar_t text[256] = {};
        if (LoadStringW(instance_, IDS_ABOUT_MENU, text, 256) > 0) {
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, IDM_ABOUT, Wide(Tr(Utf8(text).c_str())).c_str());
        }
    }
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    MakeControlsAccessible(window_, kConfigDialogTemplate);
    if (!controller_.Open()) EndDialog(window_, IDCANCEL);  // the player chose to quit: nothing is touched
    return TRUE;  // the dialog manager sets the focus
}

void ConfigDialog::OnCommand(int control, int notification) {
    if (control == IDOK) {
        if (controller_.Ok()) EndDialog(window_, IDOK);
    } else if (control == IDCANCEL) {
        EndDialog(window_, IDCANCEL);
    } else if (const ControlBinding* binding = FindControl(control)) {
        // A list's selection change, a box's or radio button's click: nothing else.
        if (notification == (binding->kind == ControlKind::List ? CBN_SELCHANGE : BN_CLICKED)) controller_.Change(control);
    }
}

bool ConfigDialog::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_ABOUT) return false;  // move, size, close: the default handling
    RunAboutDialog(instance_, window_, controller_.FileName());
    return true;
}

bool ConfigDialog::OnPaint() {
    if (!IsIconic(window_)) return false;
    // The platform minimised the dialog: its icon, centred.
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window_, &paint);
    SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(window_, &client);
    DrawIcon(context, (client.right - client.left - width + 1) / 2, (client.bottom - client.top - height + 1) / 2, icon_);
    EndPaint(window_, &paint);
    return true;
}

bool ConfigDialog::Ask(const Question& question) {
    return AskQuestion(instance_, window_, Title(), Wide(question.text), question.safeButton, question.otherButton);
}

void ConfigDialog::ShowMessage(const std::string& text) {
    // The dialog stays open: the player reads it, mends the cause, and presses OK or Cancel again.
    MessageBoxW(window_, Wide(text).c_str(), Title().c_str(), MB_OK | MB_ICONERROR);
}

void ConfigDialog::AddListItem(int32_t control, const char* text) {
    SendMessageW(Item(control), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void ConfigDialog::SetTabStop(int32_t control, bool tabStop) {
    HWND item = Item(control);
    const LONG_PTR style = GetWindowLongPtrW(item, GWL_STYLE);
    SetWindowLongPtrW(item, GWL_STYLE, tabStop ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP));
}

std::wstring ConfigDialog::Title() const {
    wchar_t title[256] = {};
    GetWindowTextW(window_, title, 256);
    return title;
}

void ConfigDialog::SetListPosition(int32_t control, int32_t position) {
    SendMessageW(Item(control), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

int32_t ConfigDialog::GetListPosition(int32_t control) {
    return static_cast<int32_t>(SendMessageW(Item(control), CB_GETCURSEL, 0, 0));
}

void ConfigDialog::SetCheck(int32_t control, int32_t state) {
    SendMessageW(Item(control), BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

int32_t ConfigDialog::GetCheck(int32_t control) {
    return static_cast<int32_t>(SendMessageW(Item(control), BM_GETCHECK, 0, 0));
}

void ConfigDialog::SetEnabled(int32_t control, bool enabled) {
    HWND item = Item(control);
    const LONG_PTR style = GetWindowLongPtrW(item, GWL_STYLE);
    SetWindowLongPtrW(item, GWL_STYLE, enabled ? style & ~static_cast<LONG_PTR>(WS_DISABLED) : style | WS_DISABLED);
}

void ConfigDialog::Redraw() { RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

}  // namespace kov::win32
