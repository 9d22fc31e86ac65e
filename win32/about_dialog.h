// The About box: dialog template 100, run modally over its owner.
#pragma once

#include <windows.h>

namespace kov::win32 {

void RunAboutDialog(HINSTANCE instance, HWND owner);

}  // namespace kov::win32
