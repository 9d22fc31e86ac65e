// A question with two answers, the first of them safe (the default, and also Escape and the
// close box): a task dialog where Windows has one, else (Windows XP) a dialog made in memory
// from a template with the same text, icon and buttons.
#pragma once

#include <windows.h>

#include <string>

namespace kov::win32 {

// True when the player chose the other answer.
bool AskQuestion(HINSTANCE instance, HWND owner, const std::wstring& title, const std::wstring& text, const char* safe,
                 const char* other);

}  // namespace kov::win32
