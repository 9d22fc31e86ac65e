// kovconfig.exe: the settings utility for the game Kov, on the Windows user interface.
#include <windows.h>

#include "config_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    kov::win32::ConfigApp application(instance);
    return application.InitInstance() ? 1 : 0;
}
