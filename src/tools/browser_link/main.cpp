// QVBrowserLink.exe: the browser-link window of the installation. It owns a hidden
// top-level window titled "Quorvanes BrowserLink"; when the picture show notifies it
// (WM_USER, wParam 1) it reads UrlLink and opens that address through the Desktop port's
// one "open", which starts the default web browser; anything but a web address is refused.
//   QVBrowserLink.exe [--log FILE] [--no-open]
// Every link received and what came of it ("opened", "refused", or "failed" with the
// system's reason) goes to the debugger's output and, with --log, is appended to FILE;
// --no-open receives without starting a browser, for tests.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <utility>

#include "base/win32/wide.h"
#include "common/shared_names.h"
#include "config/names.h"
#include "config/reg_ini_file.h"
#include "desktop/web_address.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/program_start.h"
#include "ui/win32/window.h"

namespace {

using qv::winbase::Widen;

constexpr wchar_t kClassName[] = L"QuorvanesBrowserLink";
constexpr wchar_t kMutexName[] = L"QuorvanesBrowserLinkMutex";

struct Options {
    std::wstring logFile;
    bool open = true;
};

std::string ReadLink() {
    qv::platform::win32::Win32Registry registry;
    try {
        return qv::config::OpenUserIni(registry).ReadString(qv::config::kIniSection,
                                                            qv::config::value::UrlLink, "");
    } catch (const qv::config::ConfigError&) {
        return {};
    }
}

class BrowserLinkWindow final : public qv::ui::win32::Window {
  public:
    explicit BrowserLinkWindow(Options options) : options_(std::move(options)) {}
    ~BrowserLinkWindow() override { Destroy(); }

    bool Create(HINSTANCE instance) {
        const std::wstring title = Widen(qv::shared::kBrowserLinkTitle);
        qv::ui::win32::WindowClass windowClass;
        windowClass.name = kClassName;
        windowClass.instance = instance;
        qv::ui::win32::WindowPlacement placement;
        placement.exStyle = WS_EX_TOOLWINDOW;
        placement.title = title.c_str();
        return Window::Create(windowClass, placement);
    }

    void Log(const std::string& line) const {
        ::OutputDebugStringW(Widen("QVBrowserLink: " + line + "\n").c_str());
        if (options_.logFile.empty()) {
            return;
        }
        const qv::winbase::UniqueFile out(::CreateFileW(options_.logFile.c_str(), FILE_APPEND_DATA,
                                                        FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out) {
            return;
        }
        const std::string text = line + "\r\n";
        DWORD written = 0;
        ::WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == qv::shared::kWmUser && wParam == qv::shared::kBrowserLinkOpen) {
            OpenLink();
            return 0;
        }
        if (message == WM_DESTROY) {
            ::PostQuitMessage(0);
            return 0;
        }
        return DefaultHandling(message, wParam, lParam);
    }

    void OpenLink() const {
        const std::string link = ReadLink();
        if (!options_.open) {
            Log((qv::desktop::IsWebAddress(link) ? "received|" : "refused|") + link);
            return;
        }
        qv::platform::win32::Win32Desktop desktop;
        const auto opening =
            qv::desktop::OpenWebAddress(desktop, 0, link, qv::platform::ShowCommand::Normal);
        switch (opening.status) {
            case qv::desktop::OpenStatus::Opened:
                Log("opened|" + link);
                return;
            case qv::desktop::OpenStatus::Refused:
                Log("refused|" + link);
                return;
            case qv::desktop::OpenStatus::Failed:
                Log("failed|" + link + "|" + opening.reason);
                return;
        }
    }

    Options options_;
};

Options ParseOptions() {
    Options options;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (argv == nullptr) {
        return options;
    }
    for (int i = 1; i < count; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--log" && i + 1 < count) {
            options.logFile = argv[++i];
        } else if (arg == L"--no-open") {
            options.open = false;
        }
    }
    ::LocalFree(argv);
    return options;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    qv::ui::win32::HardenDllSearch();
    qv::winbase::UniqueHandleKernel mutex(::CreateMutexW(nullptr, FALSE, kMutexName));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        return 0;  // one receiver is enough: the show notifies the first window it finds
    }
    BrowserLinkWindow window(ParseOptions());
    if (!window.Create(instance)) {
        return 1;
    }
    window.Log("ready");
    return qv::ui::win32::RunMessageLoop();
}
