// A dialog template made in memory from the shared table.
#include "dialog_memory_template.h"

#include <windows.h>

#include <cstring>

#include "win32_text.h"

namespace kov::win32 {

namespace {

// Predefined window classes, as ordinals.
constexpr WORD kButton = 0x0080;
constexpr WORD kStatic = 0x0082;
constexpr WORD kComboBox = 0x0085;

class Writer {
public:
    void Word(WORD value) { Append(&value, sizeof value); }
    void Dword(DWORD value) { Append(&value, sizeof value); }
    void Short(short value) { Append(&value, sizeof value); }
    // UTF-8 text as UTF-16, NUL-terminated.
    void Text(std::string_view text) {
        for (const wchar_t c : Wide(text)) Word(static_cast<WORD>(c));
        Word(0);
    }
    void Ordinal(WORD value) {
        Word(0xFFFF);
        Word(value);
    }
    void AlignToDword() {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    }
    std::vector<unsigned char> Take() { return std::move(bytes_); }

private:
    void Append(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    std::vector<unsigned char> bytes_;
};

struct ControlClass {
    WORD windowClass;
    DWORD style;
};

ControlClass ClassOf(ControlType type) {
    switch (type) {
        case ControlType::DefaultPushButton:
            return {kButton, BS_DEFPUSHBUTTON};
        case ControlType::PushButton:
            return {kButton, BS_PUSHBUTTON};
        case ControlType::DropDownList:
            return {kComboBox, CBS_DROPDOWNLIST | WS_VSCROLL};
        case ControlType::StaticText:
            return {kStatic, SS_LEFT};
        case ControlType::CheckBox:
            return {kButton, BS_AUTOCHECKBOX};
        case ControlType::RadioButton:
            return {kButton, BS_AUTORADIOBUTTON};
        case ControlType::GroupBox:
            return {kButton, BS_GROUPBOX};
        case ControlType::Icon:
            return {kStatic, SS_ICON};
    }
    return {kStatic, SS_LEFT};
}

}  // namespace

std::vector<unsigned char> MemoryTemplate(const DialogTemplate& dialog, const std::string& fileName) {
    Writer out;
    out.Word(1);       // dlgVer
    out.Word(0xFFFF);  // signature: extended template
    out.Dword(0);      // helpID
    out.Dword(WS_EX_APPWINDOW);
    out.Dword(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
    out.Word(static_cast<WORD>(dialog.controls.size()));
    out.Short(0);
    out.Short(0);
    out.Short(static_cast<short>(dialog.width));
    out.Short(static_cast<short>(dialog.height));
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(ShownText(dialog.title, fileName));
    out.Word(static_cast<WORD>(dialog.pointSize));
    out.Word(FW_NORMAL);
    out.Word(0);  // not italic; default character set (in the high byte)
    out.Text(dialog.fontFace);
    for (const ControlTemplate& control : dialog.controls) {
        out.AlignToDword();
        const ControlClass kind = ClassOf(control.type);
        DWORD style = WS_CHILD | WS_VISIBLE | kind.style;
        // The file's name on one line, shortened in its middle where it does not fit; an "&" in
        // it is no mnemonic.
        if (control.id == IDC_ABOUT_FILE) style = (style & ~SS_TYPEMASK) | SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS | SS_NOPREFIX;
        if (control.tabStop) style |= WS_TABSTOP;
        if (control.group) style |= WS_GROUP;
        out.Dword(0);  // helpID
        out.Dword(0);  // extended style
        out.Dword(style);
        out.Short(static_cast<short>(control.rect.left));
        out.Short(static_cast<short>(control.rect.top));
        out.Short(static_cast<short>(control.rect.width));
        out.Short(static_cast<short>(control.rect.height));
        out.Dword(static_cast<DWORD>(control.id));
        out.Ordinal(kind.windowClass);
        if (control.type == ControlType::Icon)
            out.Ordinal(IDR_APP_ICON);
        else
            out.Text(ShownText(control.text, fileName));
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace kov::win32
