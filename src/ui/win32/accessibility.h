// What the programs tell screen readers, through Microsoft Active Accessibility: the
// libraries, loaded with the first question a screen reader asks (no program imports
// them), and the name a system control is heard by when its own text does not say what it
// is (a field named by its label, a drop-down list by its subject, not its selection).
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace qv::ui::win32 {

// {618736E0-3C3D-11CF-810C-00AA00389B71}; spelled here: the import library and the GUID
// library both define it in the 64-bit toolchain.
inline constexpr IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The answer to WM_GETOBJECT for `object`, marshalled for the asking process: the window's
// thread joins COM's single-threaded apartment once, for the life of the thread. 0 (the
// system's own answer) when the libraries are missing.
[[nodiscard]] LRESULT AnswerWithObject(IAccessible* object, WPARAM wParam);

// The system's own accessible object of `window`'s client area; nullptr without the library.
[[nodiscard]] IAccessible* StandardObjectOf(HWND window);

// QueryInterface of an object that is an IAccessible: `self` with a reference added for
// IUnknown, IDispatch and IAccessible, E_NOINTERFACE (and nullptr) for any other interface.
[[nodiscard]] HRESULT QueryAccessible(IAccessible* self, REFIID iid, void** object);

// A BSTR copy of `text`, which the caller (the screen reader) frees.
[[nodiscard]] BSTR AllocatedText(const std::wstring& text);

// From now on `control` (a system control) is heard as `name`, everything else it says
// being the system's. The name lives as long as the control.
void GiveAccessibleName(HWND control, std::wstring name);

}  // namespace qv::ui::win32
