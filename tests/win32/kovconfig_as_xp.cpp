// kovconfig.exe as Windows XP would run it, for the tests: every function newer than XP is
// missing from the start, so that each is reached the way XP takes.
#include <windows.h>

#include "config_app.h"
#include "question_box.h"
#include "win32_newer.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    kov::detail::Newer() = {};
    kov::win32::TaskDialogOfThisWindows() = nullptr;
    kov::win32::ConfigApp application(instance);
    return application.InitInstance() ? 1 : 0;
}
