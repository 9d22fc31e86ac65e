// The controls' accessible objects: Windows' standard ones, with a list's label for its name
// and the group box around a control for its parent.
#include "accessible_controls.h"

#include <oleacc.h>

#include <string>
#include <vector>

#include "win32_text.h"

namespace kov::win32 {

namespace {

constexpr wchar_t kAnnotation[] = L"kovconfig.accessible";

// What a control's object says otherwise than Windows' own.
struct Annotation {
    WNDPROC previous = nullptr;
    std::wstring name;  // empty: Windows' own
    HWND group = nullptr;  // null: Windows' own parent
};

bool Self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Windows' standard object of a control, answering for itself only where it is annotated.
class AnnotatedObject final : public IAccessible {
public:
    AnnotatedObject(IAccessible* standard, const Annotation& annotation)
        : standard_(standard), name_(annotation.name), group_(annotation.group) {
        standard_->AddRef();
    }
    AnnotatedObject(const AnnotatedObject&) = delete;
    AnnotatedObject& operator=(const AnnotatedObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(id, __uuidof(IUnknown)) || IsEqualIID(id, __uuidof(IDispatch)) || IsEqualIID(id, __uuidof(IAccessible))) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return standard_->QueryInterface(id, object);  // its children's enumeration, its window
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
        return standard_->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* wrong) override {
        return standard_->Invoke(member, id, locale, flags, parameters, result, exception, wrong);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (group_ == nullptr) return standard_->get_accParent(parent);
        return AccessibleObjectFromWindow(group_, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IDispatch),
                                          reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (name_.empty() || !Self(child)) return standard_->get_accName(child, name);
        if (name == nullptr) return E_POINTER;
        *name = SysAllocString(name_.c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override { return standard_->get_accValue(child, value); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override { return standard_->get_accRole(child, role); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return standard_->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override { return standard_->get_accSelection(children); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return standard_->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override { return standard_->put_accValue(child, value); }

private:
    ~AnnotatedObject() { standard_->Release(); }

    LONG references_ = 1;
    IAccessible* standard_;
    std::wstring name_;
    HWND group_;
};

// An annotated control's window procedure: its client object is the annotated one.
LRESULT CALLBACK Annotated(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* annotation = static_cast<Annotation*>(GetPropW(window, kAnnotation));
    const WNDPROC previous = annotation->previous;
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard)))) {
            auto* annotated = new AnnotatedObject(standard, *annotation);
            standard->Release();
            const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, annotated);
            annotated->Release();
            return result;
        }
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropW(window, kAnnotation);
        delete annotation;
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

std::wstring Trimmed(std::wstring text) {
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text;
}

}  // namespace

void MakeControlsAccessible(HWND dialog, const DialogTemplate& dialogTemplate) {
    // The dialog manager makes the controls in the template's order, each after the last.
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    if (controls.size() != dialogTemplate.controls.size()) return;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        const char* label = LabelOfList(control.id);
        const ControlTemplate* group = GroupOf(dialogTemplate, control);
        if (label == nullptr && group == nullptr) continue;
        auto* annotation = new Annotation;
        if (label != nullptr) annotation->name = Trimmed(Wide(ShownText(label)));
        if (group != nullptr) annotation->group = controls[static_cast<std::size_t>(group - dialogTemplate.controls.data())];
        SetPropW(controls[i], kAnnotation, annotation);
        annotation->previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(controls[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Annotated)));
    }
}

}  // namespace kov::win32
