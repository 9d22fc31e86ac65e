// The About box: no data, no handlers beyond closing.
#include "about_dialog.h"

#include "dialog_memory_template.h"

namespace kov::win32 {

namespace {

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void RunAboutDialog(HINSTANCE instance, HWND owner, const std::string& fileName) {
    const std::vector<unsigned char> memory = MemoryTemplate(kAboutDialogTemplate, fileName);
    DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(memory.data()), owner, AboutProc, 0);
}

}  // namespace kov::win32
