#include "ui/win32/accessibility.h"

#include <atomic>
#include <memory>
#include <new>

#include "base/win32/system_library.h"

namespace qv::ui::win32 {

namespace {

constexpr wchar_t kNameProperty[] = L"QuorvanesAccessibleName";
constexpr wchar_t kProcedureProperty[] = L"QuorvanesNamedControlProcedure";

struct Libraries {
    winbase::SystemLibrary oleacc{L"oleacc.dll"};
    winbase::SystemLibrary oleaut{L"oleaut32.dll"};
    winbase::SystemLibrary ole{L"ole32.dll"};
    decltype(&::LresultFromObject) lresultFromObject =
        oleacc.Find<decltype(&::LresultFromObject)>("LresultFromObject");
    decltype(&::CreateStdAccessibleObject) createStdAccessibleObject =
        oleacc.Find<decltype(&::CreateStdAccessibleObject)>("CreateStdAccessibleObject");
    decltype(&::SysAllocString) sysAllocString =
        oleaut.Find<decltype(&::SysAllocString)>("SysAllocString");
    decltype(&::CoInitializeEx) coInitializeEx =
        ole.Find<decltype(&::CoInitializeEx)>("CoInitializeEx");

    static const Libraries& Get() {
        static const Libraries libraries;
        return libraries;
    }
};

// A COM object goes by Release, never by a delete through its interface, which therefore
// has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// The system's object of a control with another name: every question but the name goes to
// the system's object.
class NamedAccessible final : public IAccessible {
  public:
    NamedAccessible(IAccessible* system, std::wstring name)
        : system_(system), name_(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        const HRESULT own = QueryAccessible(this, iid, object);
        // What else the system's object offers.
        return own == E_NOINTERFACE ? system_->QueryInterface(iid, object) : own;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            system_->Release();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return system_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return system_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return system_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* error,
                                     UINT* wrong) override {
        return system_->Invoke(id, iid, locale, flags, parameters, result, error, wrong);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) {
            return system_->get_accName(child, name);
        }
        if (name == nullptr) {
            return E_POINTER;
        }
        *name = AllocatedText(name_);
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // The rest is the system's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return system_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return system_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return system_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return system_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return system_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return system_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return system_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return system_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return system_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return system_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return system_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return system_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long how, VARIANT child) override {
        return system_->accSelect(how, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return system_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return system_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return system_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return system_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return system_->put_accValue(child, value);
    }

  private:
    IAccessible* system_;  // owned: one reference
    std::wstring name_;
    std::atomic<ULONG> references_{1};
};

#pragma GCC diagnostic pop

// The named control's procedure: WM_GETOBJECT for its client area answered with the
// system's object under the control's name, everything else the control's own.
LRESULT CALLBACK NamedControlProcedure(HWND control, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
    const auto own = reinterpret_cast<WNDPROC>(::GetPropW(control, kProcedureProperty));
    auto* name = static_cast<std::wstring*>(::GetPropW(control, kNameProperty));
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT && name != nullptr) {
        if (IAccessible* system = StandardObjectOf(control); system != nullptr) {
            auto* named = new (std::nothrow) NamedAccessible(system, *name);
            if (named == nullptr) {
                system->Release();
            } else {
                const LRESULT answer = AnswerWithObject(named, wParam);
                named->Release();
                if (answer != 0) {
                    return answer;
                }
            }
        }
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        ::RemovePropW(control, kProcedureProperty);
        delete static_cast<std::wstring*>(::RemovePropW(control, kNameProperty));
    }
    return ::CallWindowProcW(own, control, message, wParam, lParam);
}

}  // namespace

HRESULT QueryAccessible(IAccessible* self, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kIidAccessible)) {
        *object = self;
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

LRESULT AnswerWithObject(IAccessible* object, WPARAM wParam) {
    const Libraries& libraries = Libraries::Get();
    if (libraries.lresultFromObject == nullptr || libraries.coInitializeEx == nullptr) {
        return 0;
    }
    (void)libraries.coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // S_FALSE when it had
    const LRESULT answer = libraries.lresultFromObject(kIidAccessible, wParam, object);
    return answer < 0 ? 0 : answer;
}

IAccessible* StandardObjectOf(HWND window) {
    const Libraries& libraries = Libraries::Get();
    IAccessible* object = nullptr;
    if (libraries.createStdAccessibleObject == nullptr ||
        FAILED(libraries.createStdAccessibleObject(window, OBJID_CLIENT, kIidAccessible,
                                                   reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    return object;
}

BSTR AllocatedText(const std::wstring& text) {
    const Libraries& libraries = Libraries::Get();
    return libraries.sysAllocString != nullptr ? libraries.sysAllocString(text.c_str()) : nullptr;
}

void GiveAccessibleName(HWND control, std::wstring name) {
    if (control == nullptr || ::GetPropW(control, kNameProperty) != nullptr) {
        return;
    }
    auto owned = std::make_unique<std::wstring>(std::move(name));
    if (!::SetPropW(control, kNameProperty, owned.get())) {
        return;
    }
    (void)owned.release();  // freed at WM_NCDESTROY
    // The control's own procedure is kept before the named one takes its place.
    const LONG_PTR own = ::GetWindowLongPtrW(control, GWLP_WNDPROC);
    if (!::SetPropW(control, kProcedureProperty, reinterpret_cast<HANDLE>(own))) {
        delete static_cast<std::wstring*>(::RemovePropW(control, kNameProperty));
        return;
    }
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NamedControlProcedure));
}

}  // namespace qv::ui::win32
