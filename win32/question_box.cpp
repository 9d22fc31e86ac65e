// The question box.
//
// The task dialog's types come from Vista's headers; the function itself is looked up at run
// time, so that the program still starts on XP, where it is missing.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include "question_box.h"

#include <commctrl.h>

#include <cstdlib>

#include "dialog_memory_template.h"
#include "win32_text.h"

namespace kov::win32 {

namespace {

constexpr int kOtherAnswer = 101;
constexpr int kIconId = 102;
constexpr int kTextId = 103;
constexpr int kMargin = 7;  // dialog units, as Windows' own message boxes keep

struct Asked {
    const std::wstring& title;
    const std::wstring& text;
    const std::wstring& safe;
    const std::wstring& other;
};

// Lays the dialog out around its text: the text's lines measured in the dialog's font, the
// buttons below them at the right.
INT_PTR CALLBACK QuestionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == kOtherAnswer)) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    if (message != WM_INITDIALOG) return FALSE;
    const auto& asked = *reinterpret_cast<const Asked*>(lParam);
    SetWindowTextW(window, asked.title.c_str());
    SetDlgItemTextW(window, IDCANCEL, asked.safe.c_str());
    SetDlgItemTextW(window, kOtherAnswer, asked.other.c_str());
    SendDlgItemMessageW(window, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    const HWND text = GetDlgItem(window, kTextId);
    SetWindowTextW(text, asked.text.c_str());
    RECT place, lines;
    GetWindowRect(text, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    lines = place;
    const HDC context = GetDC(text);
    const HGDIOBJ font = SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    DrawTextW(context, asked.text.c_str(), -1, &lines, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(context, font);
    ReleaseDC(text, context);
    const int grow = std::max(0L, (lines.bottom - lines.top) - (place.bottom - place.top));
    MoveWindow(text, place.left, place.top, place.right - place.left, place.bottom - place.top + grow, FALSE);
    for (const int button : {IDCANCEL, kOtherAnswer}) {
        RECT at;
        GetWindowRect(GetDlgItem(window, button), &at);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&at), 2);
        MoveWindow(GetDlgItem(window, button), at.left, at.top + grow, at.right - at.left, at.bottom - at.top, FALSE);
    }
    // Centred over the dialog that asks, as a message box is.
    RECT frame, owner;
    GetWindowRect(window, &frame);
    const LONG width = frame.right - frame.left, height = frame.bottom - frame.top + grow;
    if (const HWND asking = GetWindow(window, GW_OWNER); asking != nullptr && GetWindowRect(asking, &owner)) {
        frame.left = owner.left + (owner.right - owner.left - width) / 2;
        frame.top = owner.top + (owner.bottom - owner.top - height) / 2;
    }
    MoveWindow(window, std::max(0L, frame.left), std::max(0L, frame.top), width, height, FALSE);
    SetFocus(GetDlgItem(window, IDCANCEL));
    return FALSE;  // the focus is set
}

// The texts are given when it opens.
bool AskInMemoryDialog(HINSTANCE instance, HWND owner, const Asked& asked) {
    const ControlTemplate controls[] = {
        {kIconId, ControlType::Icon, {kMargin, kMargin, 21, 20}, "", false, false},
        {kTextId, ControlType::StaticText, {36, kMargin, 220, 16}, "", false, false},
        {IDCANCEL, ControlType::DefaultPushButton, {150, 30, 50, 14}, "", true, true},
        {kOtherAnswer, ControlType::PushButton, {206, 30, 50, 14}, "", true, false},
    };
    const DialogTemplate question{0, "", 263, 51, "MS Shell Dlg", 8, controls};
    const std::vector<unsigned char> memory = MemoryTemplate(question);
    return DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(memory.data()), owner, QuestionProc,
                                   reinterpret_cast<LPARAM>(&asked)) == kOtherAnswer;
}

}  // namespace

TaskDialogFunction& TaskDialogOfThisWindows() {
    static TaskDialogFunction taskDialog = [] {
        const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
        return controls != nullptr ? reinterpret_cast<TaskDialogFunction>(
                                         reinterpret_cast<void*>(GetProcAddress(controls, "TaskDialogIndirect")))
                                   : nullptr;
    }();
    return taskDialog;
}

bool AskQuestion(HINSTANCE instance, HWND owner, const std::wstring& title, const std::wstring& text, const char* safe,
                 const char* other) {
    const TaskDialogFunction taskDialog = TaskDialogOfThisWindows();
    const std::wstring safeText = Wide(safe), otherText = Wide(other);
    if (taskDialog == nullptr) return AskInMemoryDialog(instance, owner, {title, text, safeText, otherText});
    const TASKDIALOG_BUTTON buttons[] = {{IDCANCEL, safeText.c_str()}, {kOtherAnswer, otherText.c_str()}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.hInstance = instance;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;  // Escape and the close box: the safe answer
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszContent = text.c_str();
    config.cButtons = 2;
    config.pButtons = buttons;
    config.nDefaultButton = IDCANCEL;
    int chosen = IDCANCEL;
    if (FAILED(taskDialog(&config, &chosen, nullptr, nullptr))) return false;
    return chosen == kOtherAnswer;
}

}  // namespace kov::win32
