// The application object.
#include "config_app.h"

#include <commctrl.h>

#include "config_dialog.h"

namespace kov::win32 {

BOOL ConfigApp::InitInstance() {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    ConfigDialog dialog(instance_);
    dialog.DoModal();  // OK or Cancel: either way the program ends
    return FALSE;
}

}  // namespace kov::win32
