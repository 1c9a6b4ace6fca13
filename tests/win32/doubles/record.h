// What the test doubles share: reading their settings from the environment and appending
// one line to a record file that the test reads back.
#pragma once

#include <windows.h>

#include <string>

namespace qv::doubles {

inline std::wstring Env(const wchar_t* name) {
    wchar_t buffer[1024] = {};
    const DWORD got = ::GetEnvironmentVariableW(name, buffer, 1024);
    return got > 0 && got < 1024 ? std::wstring(buffer, got) : std::wstring();
}

inline void Append(const std::wstring& file, const std::wstring& line) {
    const HANDLE out = ::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::wstring text = line + L"\r\n";
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), bytes, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size() - 1), &written, nullptr);
    ::CloseHandle(out);
}

}  // namespace qv::doubles
