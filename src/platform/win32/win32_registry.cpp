#include <windows.h>

#include "base/win32/system_error.h"
#include "base/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

namespace {

HKEY RootKey(RegRoot root) {
    return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

std::optional<RegValue> Win32Registry::Query(RegRoot root, std::string_view key,
                                             std::string_view name) {
    winbase::UniqueHkey hkey;
    if (::RegOpenKeyExW(RootKey(root), winbase::Widen(key).c_str(), 0, KEY_READ, hkey.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::wstring wname = winbase::Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(hkey.get(), wname.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::string bytes(size, '\0');
    // The value may change between the two calls; a grown value is read again.
    for (;;) {
        DWORD got = static_cast<DWORD>(bytes.size());
        const LONG rc = ::RegQueryValueExW(hkey.get(), wname.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(bytes.data()), &got);
        if (rc == ERROR_MORE_DATA) {
            bytes.resize(got);
            continue;
        }
        if (rc != ERROR_SUCCESS) {
            return std::nullopt;
        }
        bytes.resize(got);
        break;
    }
    RegValue value;
    value.type = static_cast<RegType>(type);
    if (IsTextType(type)) {
        const std::wstring_view text(reinterpret_cast<const wchar_t*>(bytes.data()),
                                     bytes.size() / sizeof(wchar_t));
        value.data = winbase::Narrow(text);
    } else {
        value.data = std::move(bytes);
    }
    return value;
}

RegWrite Win32Registry::Set(RegRoot root, std::string_view key, std::string_view name,
                            const RegValue& value) {
    winbase::UniqueHkey hkey;
    const LONG opened = ::RegCreateKeyExW(RootKey(root), winbase::Widen(key).c_str(), 0, nullptr, 0,
                                          KEY_ALL_ACCESS, nullptr, hkey.put(), nullptr);
    if (opened != ERROR_SUCCESS) {
        return {RegWriteStatus::KeyFailed, winbase::SystemErrorText(static_cast<DWORD>(opened))};
    }
    const auto type = static_cast<DWORD>(value.type);
    LONG rc = ERROR_SUCCESS;
    if (IsTextType(type)) {
        const std::wstring text = winbase::Widen(value.data);
        rc = ::RegSetValueExW(hkey.get(), winbase::Widen(name).c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    } else {
        rc = ::RegSetValueExW(hkey.get(), winbase::Widen(name).c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(value.data.data()),
                              static_cast<DWORD>(value.data.size()));
    }
    if (rc != ERROR_SUCCESS) {
        return {RegWriteStatus::ValueFailed, winbase::SystemErrorText(static_cast<DWORD>(rc))};
    }
    return {};
}

bool Win32Registry::CreateKey(RegRoot root, std::string_view key) {
    winbase::UniqueHkey hkey;
    return ::RegCreateKeyExW(RootKey(root), winbase::Widen(key).c_str(), 0, nullptr, 0,
                             KEY_ALL_ACCESS, nullptr, hkey.put(), nullptr) == ERROR_SUCCESS;
}

}  // namespace qv::platform::win32
