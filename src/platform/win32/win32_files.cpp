#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

namespace {

// Calls a Win32 "fill this buffer, or tell me the size" function until the text fits.
template <typename Fill>
std::optional<std::wstring> GrowingBuffer(Fill fill) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD got = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) {
            return std::nullopt;
        }
        if (got < buffer.size()) {
            buffer.resize(got);
            return buffer;
        }
        buffer.assign(got + 1, L'\0');
    }
    return std::nullopt;
}

}  // namespace

std::string Win32Files::WindowsDirectory() {
    const auto dir =
        GrowingBuffer([](wchar_t* buf, DWORD size) { return ::GetWindowsDirectoryW(buf, size); });
    return dir ? Narrow(*dir) : std::string();
}

std::string Win32Files::SystemDirectory() {
    const auto dir =
        GrowingBuffer([](wchar_t* buf, DWORD size) { return ::GetSystemDirectoryW(buf, size); });
    return dir ? Narrow(*dir) : std::string();
}

std::optional<std::string> Win32Files::ShortPath(std::string_view path) {
    const std::wstring wide = Widen(path);
    const auto shortPath = GrowingBuffer(
        [&wide](wchar_t* buf, DWORD size) { return ::GetShortPathNameW(wide.c_str(), buf, size); });
    if (!shortPath) {
        return std::nullopt;
    }
    return Narrow(*shortPath);
}

bool Win32Files::FileExists(std::string_view path) {
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<std::string> Win32Files::List(std::string_view pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    UniqueFind find(::FindFirstFileW(Widen(pattern).c_str(), &data));
    if (!find) {
        return names;
    }
    do {
        names.push_back(Narrow(data.cFileName));
    } while (::FindNextFileW(find.get(), &data));
    return names;
}

bool Win32Files::Delete(std::string_view path) {
    return ::DeleteFileW(Widen(path).c_str()) != 0;
}

}  // namespace qv::platform::win32
