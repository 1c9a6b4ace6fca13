// Move-only owners for Win32 handles. NULL-invalid and INVALID_HANDLE_VALUE-invalid kinds
// are kept apart by their traits.
#pragma once

#include <windows.h>

#include <utility>

namespace qv::winbase {

template <typename Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    [[nodiscard]] explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle h = Traits::Invalid()) noexcept {
        const Handle old = std::exchange(handle_, h);
        if (old != Traits::Invalid()) {
            Traits::Close(old);
        }
    }
    // For out-parameters of creating calls.
    [[nodiscard]] Handle* put() noexcept {
        reset();
        return &handle_;
    }

  private:
    Handle handle_ = Traits::Invalid();
};

struct HandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::FindClose(h); }
};
struct HkeyTraits {
    using Handle = HKEY;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};
struct HmoduleTraits {
    using Handle = HMODULE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};
struct HdeskTraits {
    using Handle = HDESK;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseDesktop(h); }
};
struct HmenuTraits {
    using Handle = HMENU;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DestroyMenu(h); }
};
struct HiconTraits {
    using Handle = HICON;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DeleteObject(h); }
};

struct HhookTraits {
    using Handle = HHOOK;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::UnhookWindowsHookEx(h); }
};

struct HdcTraits {
    using Handle = HDC;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DeleteDC(h); }
};

using UniqueHandleKernel = UniqueHandle<HandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueHkey = UniqueHandle<HkeyTraits>;
using UniqueHmodule = UniqueHandle<HmoduleTraits>;
using UniqueHdesk = UniqueHandle<HdeskTraits>;
using UniqueHmenu = UniqueHandle<HmenuTraits>;
using UniqueHicon = UniqueHandle<HiconTraits>;  // an icon of LoadImage without LR_SHARED
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueHdc = UniqueHandle<HdcTraits>;  // a DC of CreateCompatibleDC
using UniqueHhook = UniqueHandle<HhookTraits>;

// Selects an object into a DC for one scope and puts the previous one back.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~ScopedSelect() { ::SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's DC for one scope (GetDC / ReleaseDC).
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    [[nodiscard]] HDC get() const noexcept { return dc_; }
    [[nodiscard]] explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// The painting of one WM_PAINT (BeginPaint / EndPaint).
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintDc() { ::EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    [[nodiscard]] HDC get() const noexcept { return dc_; }
    [[nodiscard]] const RECT& Dirty() const noexcept { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

}  // namespace qv::winbase
