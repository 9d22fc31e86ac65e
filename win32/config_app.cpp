// The application object.
#include "config_app.h"

#include <commctrl.h>
#include <objbase.h>

#include "catalogue.h"
#include "config_dialog.h"
#include "win32_text.h"

namespace kov::win32 {

BOOL ConfigApp::InitInstance() {
    // The player's language: the user's language of the Windows interface, by its ISO 639 name.
    if (const std::string language = InterfaceLanguage(); !language.empty())
        UseLanguage(std::vector<std::string>{language});
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // A screen reader's requests for the controls' accessible objects are answered through COM.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        ConfigDialog dialog(instance_);
        dialog.DoModal();  // OK or Cancel: either way the program ends
    }
    if (com) CoUninitialize();
    return FALSE;
}

}  // namespace kov::win32
