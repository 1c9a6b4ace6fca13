// Libraries and their exports looked up at run time: the one place a GetProcAddress result
// becomes a typed function. A system library that a program needs only on some paths is
// loaded when one is first taken rather than with the program: the saver host starts each
// time the screen saver does, and under Wine every library imported from the start adds to
// the wait for the picture.
#pragma once

#include <windows.h>

#include <string>

#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"

namespace qv::winbase {

// A function pointer of no signature, as GetProcAddress gives it.
using AnyFunction = void (*)();

// The cast from an export to its real signature goes through a pointer of no signature, so
// the compiler takes it as intended.
template <typename Function>
[[nodiscard]] Function FunctionCast(AnyFunction function) {
    return reinterpret_cast<Function>(function);
}

template <typename Function>
[[nodiscard]] Function ExportOf(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    return FunctionCast<Function>(reinterpret_cast<AnyFunction>(::GetProcAddress(module, name)));
}

// An export of a library the process has loaded already (kernel32, user32, ntdll), looked up
// rather than linked because older systems lack it; nullptr there.
template <typename Function>
[[nodiscard]] Function LoadedExport(const wchar_t* module, const char* name) {
    return ExportOf<Function>(::GetModuleHandleW(module), name);
}

class SystemLibrary {
  public:
    // By its bare name, after the program's start-up hardening: the program's folder or the
    // system folders only, or the version the program's manifest asks for.
    explicit SystemLibrary(const std::wstring& name) : module_(::LoadLibraryW(name.c_str())) {}

    [[nodiscard]] explicit operator bool() const noexcept { return static_cast<bool>(module_); }
    [[nodiscard]] HMODULE Module() const noexcept { return module_.get(); }

    // The export `name` as a pointer of type `Function`; nullptr when the library or the
    // export is missing.
    template <typename Function>
    [[nodiscard]] Function Find(const char* name) const {
        return ExportOf<Function>(module_.get(), name);
    }

  private:
    UniqueHmodule module_;
};

// True under Wine, which lacks some system services the programs rely on (the start of the
// screen saver on request).
[[nodiscard]] inline bool RunsUnderWine() {
    return LoadedExport<AnyFunction>(L"ntdll.dll", "wine_get_version") != nullptr;
}

}  // namespace qv::winbase
