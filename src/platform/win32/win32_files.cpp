#include <shlobj.h>
#include <windows.h>

#include <algorithm>

#include "base/win32/system_library.h"
#include "base/win32/wide.h"
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

class Win32FileReader : public FileReader {
  public:
    Win32FileReader(winbase::UniqueFile file, std::uint64_t size)
        : file_(std::move(file)), size_(size) {}
    [[nodiscard]] std::uint64_t Size() const override { return size_; }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* into,
                                      std::size_t count) override {
        // The offset rides in the OVERLAPPED record; the handle itself is synchronous.
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        constexpr std::size_t kMost = 1u << 30;
        DWORD got = 0;
        if (!::ReadFile(file_.get(), into, static_cast<DWORD>(std::min(count, kMost)), &got, &at)) {
            return ::GetLastError() == ERROR_HANDLE_EOF ? std::optional<std::size_t>(0)
                                                        : std::nullopt;
        }
        return got;
    }

  private:
    winbase::UniqueFile file_;
    std::uint64_t size_;
};

}  // namespace

std::unique_ptr<FileReader> Win32Files::OpenForReading(std::string_view path, Sharing sharing) {
    DWORD share = FILE_SHARE_READ | FILE_SHARE_DELETE;
    if (sharing == Sharing::ReadWriteDelete) {
        share |= FILE_SHARE_WRITE;  // also a file another program holds open for writing
    }
    // A folder does not open without backup semantics, so only files come back.
    winbase::UniqueFile file(::CreateFileW(winbase::Widen(path).c_str(), GENERIC_READ, share,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        return nullptr;
    }
    return std::make_unique<Win32FileReader>(std::move(file),
                                             static_cast<std::uint64_t>(size.QuadPart));
}

std::string Win32Files::WindowsDirectory() {
    const auto dir =
        GrowingBuffer([](wchar_t* buf, DWORD size) { return ::GetWindowsDirectoryW(buf, size); });
    return dir ? winbase::Narrow(*dir) : std::string();
}

std::string Win32Files::SystemDirectory() {
    const auto dir =
        GrowingBuffer([](wchar_t* buf, DWORD size) { return ::GetSystemDirectoryW(buf, size); });
    return dir ? winbase::Narrow(*dir) : std::string();
}

std::optional<std::string> Win32Files::ShortPath(std::string_view path) {
    const std::wstring wide = winbase::Widen(path);
    const auto shortPath = GrowingBuffer(
        [&wide](wchar_t* buf, DWORD size) { return ::GetShortPathNameW(wide.c_str(), buf, size); });
    if (!shortPath) {
        return std::nullopt;
    }
    return winbase::Narrow(*shortPath);
}

bool Win32Files::FileExists(std::string_view path) {
    const DWORD attributes = ::GetFileAttributesW(winbase::Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<std::string> Win32Files::List(std::string_view pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    winbase::UniqueFind find(::FindFirstFileW(winbase::Widen(pattern).c_str(), &data));
    if (!find) {
        return names;
    }
    do {
        names.push_back(winbase::Narrow(data.cFileName));
    } while (::FindNextFileW(find.get(), &data));
    return names;
}

// The environment's value costs nothing; the shell, loaded only when the environment has
// none, is tens of milliseconds of a screen saver's start under Wine.
std::string Win32Files::LocalAppDataDirectory() {
    const auto fromEnvironment = GrowingBuffer([](wchar_t* buf, DWORD size) {
        return ::GetEnvironmentVariableW(L"LOCALAPPDATA", buf, size);
    });
    if (fromEnvironment && !fromEnvironment->empty()) {
        return winbase::Narrow(*fromEnvironment);
    }
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    static const winbase::SystemLibrary& shell = *new winbase::SystemLibrary(L"shell32.dll");
    const auto get = shell.Find<GetFolderPath>("SHGetFolderPathW");
    std::wstring folder(MAX_PATH, L'\0');
    if (get == nullptr ||
        get(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder.data()) != S_OK) {
        return {};
    }
    folder.resize(folder.find(L'\0'));
    return winbase::Narrow(folder);
}

bool Win32Files::CreateFolder(std::string_view path) {
    const std::wstring wide = winbase::Widen(path);
    // Each folder from the top down. A step that fails is passed over (a folder above that
    // exists but may not be made, a share's name): whether the last one exists decides.
    for (std::size_t end = wide.find(L'\\', 3);; end = wide.find(L'\\', end + 1)) {
        (void)::CreateDirectoryW(wide.substr(0, end).c_str(), nullptr);
        if (end == std::wstring::npos) {
            break;
        }
    }
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Files::Delete(std::string_view path) {
    return ::DeleteFileW(winbase::Widen(path).c_str()) != 0;
}

}  // namespace qv::platform::win32
