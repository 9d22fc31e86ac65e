// What a screen reader hears of the settings dialog on Windows: each control's accessible object
// as a screen reader asks for it (AccessibleObjectFromWindow, OBJID_CLIENT), its name, its role,
// and the name of its parent: the seven lists by their labels, the rest by their captions, each
// control inside a group box with that box as its parent; in English and in Polish. Wine 8's
// standard objects give every control the generic client role, Windows' each its class's: either
// is heard.
#include <windows.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "config_dialog.h"
#include "file_test_support.h"
#include "speaking.h"

namespace kov {
namespace {

// What the screen reader got of one control.
struct Heard {
    std::wstring name;
    long role = 0;
    std::wstring parent;  // its name
};

std::vector<Heard> heard;

std::wstring Trimmed(BSTR text) {
    std::wstring out = text != nullptr ? text : L"";
    SysFreeString(text);
    while (!out.empty() && out.back() == L' ') out.pop_back();
    return out;
}

// Reads every control of the dialog shown now, in the template's order, then closes it.
void CALLBACK ReadDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND dialog = GetActiveWindow();
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        Heard one;
        IAccessible* object = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&object)))) {
            BSTR name = nullptr;
            object->get_accName(self, &name);
            one.name = Trimmed(name);
            VARIANT role;
            VariantInit(&role);
            if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) one.role = role.lVal;
            IDispatch* parent = nullptr;
            IAccessible* around = nullptr;
            if (SUCCEEDED(object->get_accParent(&parent)) && parent != nullptr &&
                SUCCEEDED(parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&around)))) {
                BSTR parentName = nullptr;
                around->get_accName(self, &parentName);
                one.parent = Trimmed(parentName);
                around->Release();
            }
            if (parent != nullptr) parent->Release();
            object->Release();
        }
        heard.push_back(one);
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

class WindowsAccessibility : public testing::FileTest {};

TEST_F(WindowsAccessibility, ScreenReadersHearListsByTheirLabelsAndControlsInTheirGroups) {
    constexpr long kButton = ROLE_SYSTEM_PUSHBUTTON, kList = ROLE_SYSTEM_COMBOBOX, kText = ROLE_SYSTEM_STATICTEXT,
                   kBox = ROLE_SYSTEM_CHECKBUTTON, kRadio = ROLE_SYSTEM_RADIOBUTTON, kGroup = ROLE_SYSTEM_GROUPING;
    const struct {
        long role;
        const wchar_t* english;
        const wchar_t* polish;
        const wchar_t* group;  // in English; null outside every group box
    } rows[] = {
        {kButton, L"OK", L"OK", nullptr},
        {kButton, L"Cancel", L"Anuluj", nullptr},
        {kList, L"Sound card type", L"Typ karty", L"Sound card"},
        {kList, L"Sound card port number", L"Port karty dźwiękowej", L"Sound card"},
        {kText, L"Sound card type", L"Typ karty", L"Sound card"},
        {kText, L"Sound card port number", L"Port karty dźwiękowej", L"Sound card"},
        {kList, L"Sound card IRQ number", L"Przerwanie (IRQ) karty", L"Sound card"},
        {kText, L"Sound card IRQ number", L"Przerwanie (IRQ) karty", L"Sound card"},
        {kText, L"8bit DMA channel", L"Kanał DMA 8-bitowy", L"Sound card"},
        {kList, L"8bit DMA channel", L"Kanał DMA 8-bitowy", L"Sound card"},
        {kText, L"16bit DMA channel", L"Kanał DMA 16-bitowy", L"Sound card"},
        {kList, L"16bit DMA channel", L"Kanał DMA 16-bitowy", L"Sound card"},
        {kList, L"Playback rate", L"Częstotliwość (Hz)", L"Sound effects"},
        {kText, L"Playback rate", L"Częstotliwość (Hz)", L"Sound effects"},
        {kList, L"Channels", L"Kanały", L"Sound effects"},
        {kText, L"Channels", L"Kanały", L"Sound effects"},
        {kBox, L"Use Reverb", L"Używaj pogłosu", L"Sound effects"},
        {kBox, L"Use Stereo", L"Używaj stereo", L"Sound effects"},
        {kBox, L"Use Echo", L"Używaj echa", L"Sound effects"},
        {kBox, L"Use high quality mixing", L"Lepsze miksowanie", L"Sound effects"},
        {kRadio, L"Software rendering", L"Grafika programowa", L"3D Gfx"},
        {kRadio, L"3DFX Voodoo (Glide)", L"3DFX Voodoo (Glide)", L"3D Gfx"},
        {kGroup, L"3D Gfx", L"Grafika 3D", nullptr},
        {kGroup, L"Sound card", L"Karta dźwiękowa", nullptr},
        {kGroup, L"Sound effects", L"Efekty dźwiękowe", nullptr},
    };
    for (const bool polish : {false, true}) {
        SCOPED_TRACE(polish ? "Polish" : "English");
        const testing::Speaking speaking(polish ? "pl" : "en");
        heard.clear();
        {
            win32::ConfigDialog dialog(GetModuleHandleW(nullptr));
            SetTimer(nullptr, 0, 10, ReadDialog);
            dialog.DoModal();
        }
        ASSERT_EQ(heard.size(), std::size(rows));
        for (std::size_t i = 0; i < heard.size(); ++i) {
            const auto& row = rows[i];
            EXPECT_EQ(heard[i].name, polish ? row.polish : row.english) << "control " << i;
            EXPECT_TRUE(heard[i].role == row.role || heard[i].role == ROLE_SYSTEM_CLIENT) << "control " << i;
            // In its group, and in no other.
            for (const auto& group : rows) {
                if (group.role != kGroup) continue;
                EXPECT_EQ(heard[i].parent == (polish ? group.polish : group.english),
                          row.group != nullptr && std::wstring_view(group.english) == row.group)
                    << "control " << i;
            }
        }
    }
}

}  // namespace
}  // namespace kov
