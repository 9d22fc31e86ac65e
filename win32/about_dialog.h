// The About box: dialog template 100, run modally over its owner, naming the settings file.
#pragma once

#include <windows.h>

#include <string>

namespace kov::win32 {

void RunAboutDialog(HINSTANCE instance, HWND owner, const std::string& fileName);

}  // namespace kov::win32
