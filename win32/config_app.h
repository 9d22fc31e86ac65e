// The application: initialises the common controls, runs the settings dialog modally once,
// and ends when it closes.
#pragma once

#include <windows.h>

namespace kov::win32 {

class ConfigApp {
public:
    explicit ConfigApp(HINSTANCE instance) : instance_(instance) {}
    // Runs the dialog; FALSE, so that the program ends instead of entering a message loop.
    BOOL InitInstance();

private:
    HINSTANCE instance_;
};

}  // namespace kov::win32
