// The screen-saver password libraries of the Windows 95 family, loaded by full path.
#include <windows.h>

#include <string>

#include "base/win32/system_library.h"
#include "base/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

namespace {

using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);

}  // namespace

LibraryResult Win32Libraries::PwdChangePassword(std::string_view dllPath, std::string_view provider,
                                                WindowId window) {
    const winbase::SystemLibrary library(winbase::Widen(dllPath));
    if (!library) {
        return {LibraryCall::NoLibrary, 0};
    }
    const auto change = library.Find<PwdChangePasswordFn>("PwdChangePasswordA");
    if (change == nullptr) {
        return {LibraryCall::NoFunction, 0};
    }
    const std::string providerName(provider);
    const DWORD result = change(providerName.c_str(), reinterpret_cast<HWND>(window), 0, 0);
    return {LibraryCall::Done, result};
}

LibraryResult Win32Libraries::VerifyScreenSavePwd(std::string_view dllPath, WindowId window) {
    const winbase::SystemLibrary library(winbase::Widen(dllPath));
    if (!library) {
        return {LibraryCall::NoLibrary, 0};
    }
    const auto verify = library.Find<VerifyScreenSavePwdFn>("VerifyScreenSavePwd");
    if (verify == nullptr) {
        return {LibraryCall::NoFunction, 0};
    }
    const BOOL result = verify(reinterpret_cast<HWND>(window));
    return {LibraryCall::Done, static_cast<std::uint32_t>(result)};
}

}  // namespace qv::platform::win32
