#include "settings/win32/check_list_accessible.h"

#include <oleacc.h>

#include <atomic>

#include "settings/win32/controls.h"
#include "ui/win32/accessibility.h"

namespace qv::settings::win32 {

namespace {

constexpr wchar_t kCheck[] = L"Check";
constexpr wchar_t kUncheck[] = L"Uncheck";

// A COM object goes by Release, never by a delete through its interface, which therefore
// has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// The list and its rows. Rows are the children 1 to Count(); the object asks the list's
// window each time, and answers nothing once the window is gone.
class CheckListAccessible final : public IAccessible {
  public:
    explicit CheckListAccessible(HWND list) : list_(list) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return ui::win32::QueryAccessible(this, iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IDispatch: the interface is used by its vtable only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count != nullptr) {
            *count = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent != nullptr) {
            *parent = nullptr;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        const CheckListControl* list = List();
        if (list == nullptr || count == nullptr) {
            return E_FAIL;
        }
        *count = list->Count();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
        if (child != nullptr) {
            *child = nullptr;
        }
        return S_FALSE;  // the rows are simple elements of this object
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        const CheckListControl* list = List();
        if (list == nullptr || name == nullptr) {
            return E_FAIL;
        }
        const int row = Row(child);
        if (row == kSelf) {
            return Text(list->AccessibleName(), name);
        }
        return row < list->Count() ? Text(list->RowText(row), name) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        const CheckListControl* list = List();
        if (list == nullptr || role == nullptr) {
            return E_FAIL;
        }
        const int row = Row(child);
        role->vt = VT_I4;
        role->lVal = row == kSelf             ? ROLE_SYSTEM_LIST
                     : list->IsCheckable(row) ? ROLE_SYSTEM_CHECKBUTTON
                                              : ROLE_SYSTEM_STATICTEXT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const CheckListControl* list = List();
        if (list == nullptr || state == nullptr) {
            return E_FAIL;
        }
        const int row = Row(child);
        const bool focused = ::GetFocus() == list_;
        long bits = STATE_SYSTEM_FOCUSABLE;
        if (row == kSelf) {
            bits |= focused ? STATE_SYSTEM_FOCUSED : 0;
        } else {
            bits |= STATE_SYSTEM_SELECTABLE;
            bits |= list->IsChecked(row) ? STATE_SYSTEM_CHECKED : 0;
            const LRESULT current = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
            bits |= current == row ? STATE_SYSTEM_SELECTED : 0;
            bits |= focused && current == row ? STATE_SYSTEM_FOCUSED : 0;
        }
        state->vt = VT_I4;
        state->lVal = bits;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, long*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr) {
            return E_POINTER;
        }
        focus->vt = VT_EMPTY;
        if (::GetFocus() == list_) {
            const LRESULT current = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
            focus->vt = VT_I4;
            focus->lVal = current == LB_ERR ? CHILDID_SELF : static_cast<long>(current) + 1;
        }
        return focus->vt == VT_EMPTY ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return get_accFocus(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        const CheckListControl* list = List();
        if (list == nullptr || action == nullptr) {
            return E_FAIL;
        }
        const int row = Row(child);
        if (row == kSelf || !list->IsCheckable(row)) {
            return DISP_E_MEMBERNOTFOUND;
        }
        return Text(list->IsChecked(row) ? kUncheck : kCheck, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr ||
            List() == nullptr) {
            return E_FAIL;
        }
        const int row = Row(child);
        RECT box{};
        if (row == kSelf) {
            ::GetClientRect(list_, &box);
        } else {
            ::SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&box));
        }
        ::MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&box), 2);
        *left = box.left;
        *top = box.top;
        *width = box.right - box.left;
        *height = box.bottom - box.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        if (child == nullptr || List() == nullptr) {
            return E_FAIL;
        }
        POINT at{x, y};
        ::ScreenToClient(list_, &at);
        const LRESULT hit = ::SendMessageW(list_, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
        child->vt = VT_I4;
        child->lVal = HIWORD(hit) == 0 ? static_cast<long>(LOWORD(hit)) + 1 : CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        CheckListControl* list = List();
        const int row = Row(child);
        if (list == nullptr || row == kSelf || !list->IsCheckable(row)) {
            return DISP_E_MEMBERNOTFOUND;
        }
        list->Toggle(row);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    static constexpr int kSelf = -1;

    // The list's object, while its window lives in this process.
    [[nodiscard]] CheckListControl* List() const {
        return ui::win32::Window::ObjectOf<CheckListControl>(list_);
    }
    // The row of a child id: CHILDID_SELF is the list; out-of-range ids are no row.
    [[nodiscard]] static int Row(const VARIANT& child) {
        if (child.vt != VT_I4 || child.lVal == CHILDID_SELF) {
            return kSelf;
        }
        return child.lVal > 0 ? static_cast<int>(child.lVal) - 1 : kSelf;
    }
    static HRESULT Text(const std::wstring& text, BSTR* out) {
        *out = ui::win32::AllocatedText(text);
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    HWND list_;
    std::atomic<ULONG> references_{1};
};

#pragma GCC diagnostic pop

}  // namespace

LRESULT AnswerGetObject(const CheckListControl& list, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) {
        return 0;
    }
    auto* accessible = new CheckListAccessible(list.hwnd());
    const LRESULT answer = ui::win32::AnswerWithObject(accessible, wParam);
    accessible->Release();  // the answer holds its own reference
    return answer;
}

void NotifyCheckChanged(HWND list, int row) {
    ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, list, OBJID_CLIENT, row + 1);
}

}  // namespace qv::settings::win32
