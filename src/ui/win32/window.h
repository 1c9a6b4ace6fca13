// The base of every window and control of the programs: one static window procedure that
// finds the C++ object behind a window and forwards each message to its HandleMessage.
// Nothing may unwind into the system's dispatcher, so the procedure catches everything.
// The base also owns the window's gate, through which workers reach the window's thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "ui/win32/window_thread.h"

namespace qv::ui::win32 {

struct WindowClass {
    const wchar_t* name = nullptr;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;  // nullptr: the arrow
    HBRUSH background = nullptr;
    // A system control's class this class builds on (a superclass): its procedure handles
    // what the window does not, and its class style, cursor and background are kept.
    const wchar_t* superclassOf = nullptr;
};

struct WindowPlacement {
    DWORD exStyle = 0;
    const wchar_t* title = L"";
    DWORD style = WS_POPUP;
    RECT bounds{};  // left, top, right, bottom in the parent's coordinates
    HWND parent = nullptr;
    HMENU menuOrId = nullptr;
};

// The id of a child control as CreateWindowEx takes it.
[[nodiscard]] inline HMENU ChildId(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

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

    // The object behind a window of the kit made by this process; nullptr for any other
    // window (another program's, a system control, a window already gone).
    [[nodiscard]] static Window* FromHandle(HWND hwnd) noexcept;
    template <typename Derived>
    [[nodiscard]] static Derived* ObjectOf(HWND hwnd) noexcept {
        return dynamic_cast<Derived*>(FromHandle(hwnd));
    }

    // What a worker holds to reach this window: its steps run on the window's thread while
    // the window lives, and are refused once it has gone.
    [[nodiscard]] const std::shared_ptr<WindowThreadGate>& Gate() const noexcept { return gate_; }

  protected:
    // Registers the class on first use and creates the window with this object behind it.
    // False when the system refused either, or WM_CREATE returned -1.
    [[nodiscard]] bool Create(const WindowClass& windowClass, const WindowPlacement& placement);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The default procedure: the system control's for a superclass, else DefWindowProc.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) const;
    // An exception reached the window procedure. By default the failure is reported in a
    // box owned by the top-level window, and the top-level window goes: a failed control
    // takes its dialog with it, through the dialog's own OnFailure.
    virtual void OnFailure(std::string_view what) noexcept;

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC superclassProcedure_ = nullptr;
    std::shared_ptr<WindowThreadGate> gate_ = std::make_shared<WindowThreadGate>();
};

// Puts `window` in the middle of `owner`, or of the work area when there is no owner.
void CentreOver(HWND window, HWND owner);

}  // namespace qv::ui::win32
