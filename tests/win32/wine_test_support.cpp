#include "wine_test_support.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <thread>
#include <utility>
#include <vector>

#include "base/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/system_dialogs.h"

namespace qv::wintest {

std::wstring SiblingPath(const wchar_t* fileName) {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD got = ::GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    path.resize(got);
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + fileName;
}

std::wstring SaverHostCommand(const std::wstring& arguments) {
    return L"\"" + SiblingPath(L"Quorvanes.scr") + L"\" " + arguments;
}

Child StartProgram(const std::wstring& commandLine, const wchar_t* folder) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    Child child;
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                         &startup, &info)) {
        const winbase::UniqueHandleKernel thread(info.hThread);
        child.process.reset(info.hProcess);
        child.pid = info.dwProcessId;
    }
    return child;
}

std::optional<DWORD> WaitForExit(const Child& child, std::chrono::milliseconds limit) {
    if (::WaitForSingleObject(child.process.get(), static_cast<DWORD>(limit.count())) !=
        WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(child.process.get(), &code);
    return code;
}

void EndIfRunning(const Child& child) {
    if (child.process && !WaitForExit(child, 0ms)) {
        ::TerminateProcess(child.process.get(), 9);
        WaitForExit(child, 5s);
    }
}

namespace {

struct BoxSearch {
    DWORD pid;
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM context) noexcept {
    auto& search = *reinterpret_cast<BoxSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if (owner == search.pid && std::wstring(cls) == L"#32770" && ::IsWindowVisible(hwnd)) {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(1024, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), 1024)));
    return text;
}

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM context) noexcept {
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) == L"Static") {
        auto& text = *reinterpret_cast<std::wstring*>(context);
        const auto piece = WindowText(hwnd);
        if (!piece.empty()) {
            text += piece;
        }
    }
    return TRUE;
}

}  // namespace

std::optional<MessageBoxSeen> MessageBoxNow(DWORD pid) {
    BoxSearch search{pid};
    ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return std::nullopt;
    }
    std::wstring text;
    ::EnumChildWindows(search.found, CollectStatic, reinterpret_cast<LPARAM>(&text));
    return MessageBoxSeen{search.found, Utf8(WindowText(search.found)), Utf8(text)};
}

std::optional<MessageBoxSeen> WaitForMessageBox(DWORD pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (auto box = MessageBoxNow(pid)) {
            return box;
        }
        std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
}

EndWatched WaitForExitWatchingBoxes(const Child& child, std::chrono::milliseconds limit) {
    EndWatched watched;
    const auto until = std::chrono::steady_clock::now() + limit;
    do {
        if (!watched.box) {
            watched.box = MessageBoxNow(child.pid);
        }
        watched.exitCode = WaitForExit(child, 50ms);
        if (watched.exitCode) {
            return watched;
        }
    } while (std::chrono::steady_clock::now() < until);
    return watched;
}

namespace {

std::int64_t Ms(const FILETIME& time) {
    ULARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<std::int64_t>(value.QuadPart / 10000);
}

}  // namespace

std::int64_t SystemTimeMs() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return Ms(now);
}

// The process's creation and end times (the end is meaningful once it has ended).
std::optional<std::pair<FILETIME, FILETIME>> ProcessTimes(HANDLE process) {
    FILETIME created{};
    FILETIME ended{};
    FILETIME kernel{};
    FILETIME user{};
    if (!::GetProcessTimes(process, &created, &ended, &kernel, &user)) {
        return std::nullopt;
    }
    return std::pair{created, ended};
}

std::optional<std::int64_t> ProcessStartMs(HANDLE process) {
    const auto times = ProcessTimes(process);
    return times ? std::optional(Ms(times->first)) : std::nullopt;
}

std::optional<std::int64_t> ProcessEndMs(HANDLE process) {
    if (::WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    const auto times = ProcessTimes(process);
    return times ? std::optional(Ms(times->second)) : std::nullopt;
}

void Answer(const MessageBoxSeen& box, int buttonId) {
    ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
}

void SendJunkPrivateMessages(HWND window) {
    constexpr LPARAM kNowhere = static_cast<LPARAM>(0x7EADBEE0);
    for (UINT base : {static_cast<UINT>(WM_USER), static_cast<UINT>(WM_APP)}) {
        for (UINT n = 0; n < 32; ++n) {
            ::PostMessageW(window, base + n, 0x5A5A, kNowhere);
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutW(window, base + n, 0x5A5A, kNowhere, SMTO_ABORTIFHUNG, 1000,
                                  &answer);
        }
    }
}

void ResetConfiguration() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Quorvanes");
}

std::string Utf8(const std::wstring& text) {
    return winbase::Narrow(text);
}

}  // namespace qv::wintest

namespace qv::wintest {

namespace {

struct WindowStart {
    const WindowLayout* layout;
    HANDLE ready;
    HWND window = nullptr;
};

DWORD WINAPI WindowThread(LPVOID context) {
    auto* start = static_cast<WindowStart*>(context);
    const WindowLayout& layout = *start->layout;
    const HWND window = ::CreateWindowExW(
        0, L"STATIC", layout.title.c_str(), layout.style, layout.bounds.left, layout.bounds.top,
        layout.bounds.right - layout.bounds.left, layout.bounds.bottom - layout.bounds.top, nullptr,
        nullptr, nullptr, nullptr);
    start->window = window;
    ::SetEvent(start->ready);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    if (::IsWindow(window)) {
        ::DestroyWindow(window);
    }
    return 0;
}

void SetValue(HKEY root, const wchar_t* name, const std::wstring& text) {
    HKEY created = nullptr;
    if (::RegCreateKeyExW(root, L"Software\\Quorvanes\\Tessels", 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &created, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const winbase::UniqueHkey key(created);
    ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring full = folder + L"\\" + name;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(full);
            } else {
                ::DeleteFileW(full.c_str());
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

ScopedWindow::ScopedWindow(const WindowLayout& layout)
    : ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    WindowStart start{&layout, ready_.get()};
    thread_.reset(::CreateThread(nullptr, 0, WindowThread, &start, 0, &threadId_));
    ::WaitForSingleObject(ready_.get(), 10000);
    window_ = start.window;
}

ScopedWindow::~ScopedWindow() {
    ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    ::WaitForSingleObject(thread_.get(), 10000);
}

void ScopedWindow::Destroy() {
    // Runs on the window's own thread, which destroys it.
    ::SendMessageW(window_, WM_CLOSE, 0, 0);
}

ScopedTrayWindow::ScopedTrayWindow() : ScopedWindow(WindowLayout{L"Quorvanes TrayIcon"}) {}

TempFolder::TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + name;
    RemoveTree(path_);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

void SetMachineValue(const wchar_t* name, const std::wstring& text) {
    SetValue(HKEY_LOCAL_MACHINE, name, text);
}

void SetUserValue(const wchar_t* name, const std::wstring& text) {
    SetValue(HKEY_CURRENT_USER, name, text);
}

std::wstring UserValue(const wchar_t* name) {
    constexpr const wchar_t* key = L"Software\\Quorvanes\\Tessels";
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    text.resize(text.find(L'\0'));
    return text;
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
    const winbase::UniqueFile out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(out.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFile(const std::wstring& path) {
    const winbase::UniqueFile in(::CreateFileW(path.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in) {
        return {};
    }
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(in.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    return text;
}

std::wstring ShortPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    ::GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return buffer;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return done();
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// The processes running a program of this file name.
std::vector<DWORD> ProcessesNamed(const wchar_t* exe) {
    std::vector<DWORD> found;
    const winbase::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, exe) == 0) {
            found.push_back(entry.th32ProcessID);
        }
    }
    return found;
}

struct InProcessThread::State {
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform system{boxes};
    std::atomic<bool> ended{false};
};

InProcessThread::InProcessThread(std::function<void(const platform::Platform&)> body)
    : state_(std::make_shared<State>()) {
    {
        const winbase::WindowDc display(nullptr);  // opens the display before the thread does
    }
    std::thread([state = state_, body = std::move(body)] {
        body(state->system.platform());
        state->ended = true;
    }).detach();
}

bool InProcessThread::Ended() const {
    return state_->ended;
}

bool InProcessThread::WaitForEnd(std::chrono::milliseconds limit) const {
    return PumpUntil([&] { return state_->ended.load(); }, limit);
}

namespace {

struct FoundWindow {
    DWORD pid;
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK MatchOwnerAndClass(HWND hwnd, LPARAM context) noexcept {
    auto* wanted = reinterpret_cast<FoundWindow*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (owner == wanted->pid && std::wstring(name) == wanted->className) {
        wanted->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring ControlText(HWND control) {
    const auto length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

HWND WindowOf(DWORD pid, const wchar_t* className) {
    FoundWindow search{pid, className};
    ::EnumWindows(MatchOwnerAndClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::array<int, 3> Screenshot::At(int x, int y) const {
    const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
            static_cast<int>(p & 0xFF)};
}

bool Screenshot::Near(int x, int y, std::array<std::uint8_t, 3> colour) const {
    const auto p = At(x, y);
    for (std::size_t c = 0; c < 3; ++c) {
        if (std::abs(p[c] - colour[c]) > 24) {
            return false;
        }
    }
    return true;
}

namespace {

Screenshot CaptureArea(const RECT& area) {
    Screenshot shot;
    shot.left = area.left;
    shot.top = area.top;
    shot.width = area.right - area.left;
    shot.height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const winbase::WindowDc screen(nullptr);
    winbase::UniqueHdc copy(::CreateCompatibleDC(screen.get()));
    winbase::UniqueGdiObject bitmap(
        ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        const winbase::ScopedSelect use(copy.get(), bitmap.get());
        ::BitBlt(copy.get(), 0, 0, shot.width, shot.height, screen.get(), shot.left, shot.top,
                 SRCCOPY);
    }
    const auto* first = static_cast<const std::uint32_t*>(bits);
    shot.pixels.assign(first, first + static_cast<std::size_t>(shot.width) * shot.height);
    return shot;
}

}  // namespace

Screenshot CaptureScreen() {
    return CaptureArea(PrimaryMonitor());
}

Screenshot CapturePainted(HWND window) {
    RECT area{};
    ::GetWindowRect(window, &area);
    const auto inked = [&](const Screenshot& shot) {
        int dark = 0;
        for (int y = std::max(area.top, 0L); y < std::min<LONG>(area.bottom, shot.height); ++y) {
            for (int x = std::max(area.left, 0L); x < std::min<LONG>(area.right, shot.width); ++x) {
                const auto p = shot.At(x, y);
                dark += p[0] + p[1] + p[2] < 200 ? 1 : 0;
            }
        }
        return dark > 200;
    };
    Screenshot last;
    Screenshot shot;
    (void)WaitUntil(
        [&] {
            shot = CaptureScreen();
            const bool settled = shot.pixels == last.pixels && inked(shot);
            last = shot;
            return settled;
        },
        10s);
    return shot;
}

Screenshot CaptureVirtualScreen() {
    return CaptureArea(VirtualScreen());
}

RECT VirtualScreen() {
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
            top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

RECT PrimaryMonitor() {
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

bool RunOnX(const std::string& commands, std::chrono::milliseconds limit) {
    static int runs = 0;
    // Z: is the Linux root: the same files under both names.
    const std::string name =
        "/tmp/qv-x-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++runs);
    const auto windowsName = [](const std::string& path) {
        std::wstring wide = L"Z:" + std::wstring(path.begin(), path.end());
        std::replace(wide.begin(), wide.end(), L'/', L'\\');
        return wide;
    };
    const std::wstring done = windowsName(name + ".done");
    ::DeleteFileW(done.c_str());
    WriteFile(windowsName(name + ".sh"), "(" + commands + ") >" + name + ".out 2>&1\necho $? >" +
                                             name + ".part\nmv " + name + ".part " + name +
                                             ".done\n");
    // Through Wine's start.exe, not CreateProcess of the Linux program itself: for a program
    // that is not PE, Wine's CreateProcess reports success with process and thread handles it
    // never made, and closing those closed handles of this process (its HKEY_CURRENT_USER
    // among them). start.exe's own handles are real; the file tells when the commands end.
    const std::string script = name + ".sh";
    const Child starter =
        StartProgram(L"start.exe /unix /bin/sh " + std::wstring(script.begin(), script.end()));
    if (!starter.process) {
        return false;
    }
    std::string code;
    const bool ended = WaitUntil(
        [&] {
            code = ReadFile(done);
            return !code.empty();
        },
        limit);
    ::DeleteFileW(windowsName(name + ".sh").c_str());
    ::DeleteFileW(done.c_str());
    return ended && code.rfind("0", 0) == 0;
}

bool XdoTool(const std::string& arguments) {
    return RunOnX("xdotool " + arguments);
}

bool PointerTo(int x, int y) {
    const RECT area = VirtualScreen();
    return XdoTool("mousemove --sync " + std::to_string(x - area.left) + " " +
                   std::to_string(y - area.top));
}

void SaveScreenshot(const Screenshot& shot, const std::wstring& name) {
    const std::wstring folder = SiblingPath(L"screenshots");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = shot.width;
    header.biHeight = -shot.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    const DWORD pixelBytes = static_cast<DWORD>(shot.pixels.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + pixelBytes;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(shot.pixels.data()), pixelBytes);
    WriteFile(folder + L"\\" + name + L".bmp", bytes);
}

std::wstring ScrnSave() {
    wchar_t buffer[512] = {};
    ::GetPrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"<missing>", buffer, 512, L"system.ini");
    return buffer;
}

void SetScrnSave(const std::wstring& value) {
    ::WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", value.c_str(), L"system.ini");
}

}  // namespace qv::wintest
