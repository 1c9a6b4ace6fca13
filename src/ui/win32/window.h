// The base of every window of the programs: one static window procedure that finds the
// C++ object behind a window and forwards each message to its HandleMessage. Nothing may
// unwind into the system's dispatcher, so the procedure catches everything.
#pragma once

#include <windows.h>

#include <string_view>

namespace qv::ui::win32 {

struct WindowClass {
    const wchar_t* name = nullptr;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;  // nullptr: the arrow
    HBRUSH background = nullptr;
};

struct WindowPlacement {
    DWORD exStyle = 0;
    const wchar_t* title = L"";
    DWORD style = WS_POPUP;
    RECT bounds{};  // left, top, right, bottom in the parent's coordinates
    HWND parent = nullptr;
    HMENU menuOrId = nullptr;
};

class Window {
  public:
    Window() = default;
    // A window still alive is destroyed without its handlers: a derived class whose
    // WM_DESTROY matters calls Destroy() in its own destructor.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }
    void Destroy() noexcept;

  protected:
    // Registers the class on first use and creates the window with this object behind it.
    // False when the system refused either, or WM_CREATE returned -1.
    bool Create(const WindowClass& windowClass, const WindowPlacement& placement);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) const;
    // An exception reached the window procedure. By default the failure is reported in a
    // box and the window goes.
    virtual void OnFailure(std::string_view what) noexcept;

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;

    HWND hwnd_ = nullptr;
};

// Puts `window` in the middle of `owner`, or of the work area when there is no owner.
void CentreOver(HWND window, HWND owner);

}  // namespace qv::ui::win32
