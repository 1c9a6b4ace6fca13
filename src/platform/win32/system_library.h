// A system library that a program needs only on some paths, loaded when one is first taken
// rather than with the program: the saver host starts each time the screen saver does, and
// under Wine every library imported from the start adds to the wait for the picture.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace qv::platform::win32 {

class SystemLibrary {
  public:
    // By its bare name, after the program's start-up hardening: the system folder only, or
    // the version the program's manifest asks for.
    explicit SystemLibrary(const wchar_t* name) : module_(::LoadLibraryW(name)) {}

    // The export `name` as a pointer of type `Function`; nullptr when the library or the
    // export is missing.
    template <typename Function>
    [[nodiscard]] Function Find(const char* name) const {
        if (!module_) {
            return nullptr;
        }
        return reinterpret_cast<Function>(
            reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
    }

  private:
    UniqueHmodule module_;
};

}  // namespace qv::platform::win32
