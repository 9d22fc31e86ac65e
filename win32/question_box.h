// A question with two answers, the first of them safe (the default, and also Escape and the
// close box): a task dialog where Windows has one, else (Windows XP) a dialog made in memory
// from a template with the same text, icon and buttons.
#pragma once

#include <windows.h>

#include <string>

struct _TASKDIALOGCONFIG;  // commctrl.h's, from Vista's headers

namespace kov::win32 {

// True when the player chose the other answer.
bool AskQuestion(HINSTANCE instance, HWND owner, const std::wstring& title, const std::wstring& text, const char* safe,
                 const char* other);

// comctl32's TaskDialogIndirect where Windows has it (Vista on), looked up when first wanted;
// null on XP. The tests set it null to run as Windows XP would.
using TaskDialogFunction = HRESULT(WINAPI*)(const ::_TASKDIALOGCONFIG* config, int* button, int* radio, BOOL* checked);
TaskDialogFunction& TaskDialogOfThisWindows();

}  // namespace kov::win32
