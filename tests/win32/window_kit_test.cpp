// The window kit under Wine: the window procedure's guard, the modal base, the window-thread
// gate, the tray window's failures and workers, and the start-up's library hardening.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "settings/win32/controls.h"
#include "tray/win32/tray_window.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/modal_window.h"
#include "ui/win32/system_dialogs.h"
#include "ui/win32/window_thread.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;
using ui::win32::WindowThreadGate;

ui::win32::WindowClass TestClass(const wchar_t* name) {
    ui::win32::WindowClass windowClass;
    windowClass.name = name;
    windowClass.instance = ::GetModuleHandleW(nullptr);
    return windowClass;
}

// A window whose handlers throw on request and that records what reaches it.
class ProbeWindow final : public ui::win32::Window {
  public:
    ProbeWindow() {
        ui::win32::WindowPlacement placement;
        placement.title = L"QV probe";
        EXPECT_TRUE(Create(TestClass(L"QuorvanesTestProbe"), placement));
        gate = Gate();
    }
    ~ProbeWindow() override { Destroy(); }

    std::shared_ptr<WindowThreadGate> gate;
    std::string failure;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP + 7) {
            throw std::runtime_error("thrown by a handler");
        }
        if (message == WM_APP + 8) {
            throw 42;  // not even an exception class
        }
        return DefaultHandling(message, wParam, lParam);
    }
    void OnFailure(std::string_view what) noexcept override {
        failure = std::string(what);
        Destroy();
    }
};

// Each control of the settings window with a handler that throws on request.
template <typename Control>
class Throwing final : public Control {
  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP + 7) {
            throw std::runtime_error("thrown by a control");
        }
        return Control::HandleMessage(message, wParam, lParam);
    }
};

template <typename Control>
void ExpectKitControl(const DWORD style) {
    ProbeWindow dialog;
    Throwing<Control> control;
    const settings::win32::ControlPlacement placement{::GetModuleHandleW(nullptr), dialog.hwnd(),
                                                      77, style, 0};
    ASSERT_TRUE(control.Create(placement));
    // The object is found behind its handle, as its own class, and nothing else is taken for
    // one: not the dialog's other kind of object, not a system control, not another
    // program's window.
    EXPECT_EQ(ui::win32::Window::ObjectOf<Control>(control.hwnd()), &control);
    EXPECT_EQ(ui::win32::Window::ObjectOf<Control>(dialog.hwnd()), nullptr);
    const HWND button = ::CreateWindowExW(0, L"Button", L"", WS_CHILD, 0, 0, 1, 1, dialog.hwnd(),
                                          nullptr, nullptr, nullptr);
    EXPECT_EQ(ui::win32::Window::FromHandle(button), nullptr);
    EXPECT_EQ(ui::win32::Window::FromHandle(::GetDesktopWindow()), nullptr);
    // A control's failure is reported by its dialog, which goes, and nothing reaches the
    // system's dispatcher.
    const HWND dialogWindow = dialog.hwnd();
    ::SendMessageW(control.hwnd(), WM_APP + 7, 0, 0);
    EXPECT_EQ(dialog.failure, "thrown by a control");
    EXPECT_FALSE(::IsWindow(dialogWindow));
    EXPECT_EQ(control.hwnd(), nullptr) << "the control went with its dialog";
}

TEST(WindowKit, NothingThrownByAHandlerReachesTheSystemAndTheWindowGoes) {
    for (const UINT message : {WM_APP + 7, WM_APP + 8}) {
        ProbeWindow window;
        const HWND hwnd = window.hwnd();
        ::SendMessageW(hwnd, message, 0, 0);
        EXPECT_FALSE(::IsWindow(hwnd));
        EXPECT_FALSE(window.failure.empty());
        EXPECT_EQ(window.hwnd(), nullptr);
    }
}

// The settings window's own controls are kit windows: found behind their handles, their
// failures reported by their dialog. (Every control of both dialogs: the settings scenarios.)
TEST(WindowKit, TheSettingsWindowsOwnControlsAreFoundAndTheirFailuresContained) {
    ExpectKitControl<settings::win32::PictureControl>(WS_CHILD | WS_VISIBLE);
    ExpectKitControl<settings::win32::PanelControl>(WS_CHILD | WS_VISIBLE);
    ExpectKitControl<settings::win32::CheckListControl>(WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS |
                                                        LBS_OWNERDRAWFIXED);
}

TEST(WindowKit, TheCheckListIsAListBoxBeneath) {
    ProbeWindow dialog;
    settings::win32::CheckListControl list;
    ASSERT_TRUE(list.Create({::GetModuleHandleW(nullptr), dialog.hwnd(), 77,
                             WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED, 0}));
    settings::CheckList rows;
    rows.rows = {{"Harbour Lights", true}, {"Meadow", false}};
    list.Fill(rows);
    EXPECT_EQ(::SendMessageW(list.hwnd(), LB_GETCOUNT, 0, 0), 2);
    const settings::CheckList read = list.Read();
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0].text, "Harbour Lights");
    EXPECT_TRUE(read.rows[0].checked);
    EXPECT_FALSE(read.rows[1].checked);
}

TEST(WindowKit, TheGateRunsStepsOnTheWindowThreadAndNeverTakesOneFromAMessage) {
    ProbeWindow window;
    const DWORD windowThread = ::GetCurrentThreadId();
    // A step sent by anyone else is not there to run: the stray message does nothing.
    EXPECT_EQ(::SendMessageW(window.hwnd(), WindowThreadGate::kRunStep, 0, 0x7EADBEE0), 0);

    std::atomic<DWORD> ranOn{0};
    std::atomic<int> results{-1};
    std::thread worker(
        [&] { results = window.gate->Run([&] { ranOn = ::GetCurrentThreadId(); }) ? 1 : 0; });
    ASSERT_TRUE(WaitUntil(
        [&] {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&msg);
            }
            return results.load() != -1;
        },
        5s));
    worker.join();
    EXPECT_EQ(results.load(), 1);
    EXPECT_EQ(ranOn.load(), windowThread);

    // Posted steps: the worker goes on at once, and the steps run on the window's thread,
    // in the order posted, when the thread takes its messages.
    std::vector<int> order;  // the window's thread's only
    std::thread poster([&] {
        for (int step = 0; step < 3; ++step) {
            results = window.gate->Post([&order, &ranOn, step] {
                order.push_back(step);
                ranOn = ::GetCurrentThreadId();
            })
                          ? 1
                          : 0;
        }
    });
    poster.join();  // done without the window's thread having run anything
    EXPECT_EQ(results.load(), 1);
    EXPECT_TRUE(order.empty());
    ranOn = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&msg);
            }
            return order.size() == 3;
        },
        5s));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ranOn.load(), windowThread);

    // Once the window is gone, a step still queued is dropped, and every later one, sent or
    // posted, is refused and never runs.
    bool ran = false;
    ASSERT_TRUE(window.gate->Post([&] { ran = true; }));
    const auto gate = window.gate;
    window.Destroy();
    std::thread late([&] {
        results =
            (gate->Run([&] { ran = true; }) ? 1 : 0) + (gate->Post([&] { ran = true; }) ? 1 : 0);
    });
    late.join();
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
    }
    EXPECT_EQ(results.load(), 0);
    EXPECT_FALSE(ran);
}

// A modal window that reports what it saw while it ran and presses a key at once.
class KeyDialog final : public ui::win32::ModalWindow {
  public:
    explicit KeyDialog(WPARAM key) : key_(key) {}

    bool ownerWasDisabled = false;
    RECT shownAt{};

  private:
    bool CreateModal(HWND owner) override {
        ui::win32::WindowPlacement placement;
        placement.title = L"QV modal";
        placement.style = WS_POPUP | WS_CAPTION;
        placement.bounds = {0, 0, 200, 100};
        placement.parent = owner;
        return Create(TestClass(L"QuorvanesTestModal"), placement);
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SHOWWINDOW && wParam) {
            ownerWasDisabled = !::IsWindowEnabled(::GetWindow(hwnd(), GW_OWNER));
            ::GetWindowRect(hwnd(), &shownAt);
            ::PostMessageW(hwnd(), WM_KEYDOWN, key_, 0);
        }
        return ModalWindow::HandleMessage(message, wParam, lParam);
    }
    WPARAM key_;
};

TEST(WindowKit, ModalWindowDisablesItsOwnerCentresOnItAndEndsWithEnterOrEscape) {
    ScopedWindow owner(WindowLayout{L"QV owner", WS_POPUP | WS_VISIBLE, {100, 100, 500, 400}});
    for (const auto& [key, expected] :
         {std::pair{VK_RETURN, IDOK}, std::pair{VK_ESCAPE, IDCANCEL}}) {
        KeyDialog dialog(static_cast<WPARAM>(key));
        EXPECT_EQ(dialog.ShowModal(owner.hwnd()), expected);
        EXPECT_TRUE(dialog.ownerWasDisabled);
        EXPECT_TRUE(::IsWindowEnabled(owner.hwnd())) << "the owner comes back";
        EXPECT_EQ(dialog.hwnd(), nullptr);
        EXPECT_EQ((dialog.shownAt.left + dialog.shownAt.right) / 2, 300);
        EXPECT_EQ((dialog.shownAt.top + dialog.shownAt.bottom) / 2, 250);
    }
}

// The tray window with an icon that cannot be added, as while the taskbar is not there.
class IconlessTrayWindow final : public tray::win32::TrayWindow {
  public:
    using TrayWindow::TrayWindow;
    bool AddIcon(tray::IconState, std::string_view, unsigned) override { return false; }
};

TEST(TrayWindowKit, AnIconThatCannotBeAddedIsReportedInABoxThatStays) {
    ResetConfiguration();
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32(boxes);
    IconlessTrayWindow tray(::GetModuleHandleW(nullptr), win32.platform(), "C:\\Quorvanes.scr");
    std::optional<MessageBoxSeen> seen;
    bool stillThere = false;
    std::thread user([&] {
        seen = WaitForMessageBox(::GetCurrentProcessId(), 10s);
        if (seen) {
            // Two round trips through the box's own loop: a quit message waiting in the queue
            // would have ended the box at the first.
            DWORD_PTR answer = 0;
            stillThere = ::SendMessageTimeoutW(seen->window, WM_NULL, 0, 0, SMTO_NORMAL, 5000,
                                               &answer) != 0 &&
                         ::SendMessageTimeoutW(seen->window, WM_NULL, 0, 0, SMTO_NORMAL, 5000,
                                               &answer) != 0 &&
                         ::IsWindowVisible(seen->window) != FALSE;
            Answer(*seen, IDOK);
        }
    });
    EXPECT_EQ(tray.Run(SW_HIDE), 0);
    user.join();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->caption, "Screen Saver Manager Error");
    EXPECT_EQ(seen->text, "Register Failed.");
    EXPECT_TRUE(stillThere) << "the box waits for the user";
}

// Sleeps of ten minutes pass in a millisecond, and each one is counted. The first sleeper
// (the status worker, the only one) is held open, so that its end can be waited for.
class FastClock final : public platform::Clock {
  public:
    std::int64_t NowMs() override { return 0; }
    void SleepMs(std::int64_t) override {
        if (sleeps.load() == 0) {
            sleeper.reset(::OpenThread(SYNCHRONIZE, FALSE, ::GetCurrentThreadId()));
        }
        ++sleeps;
        ::Sleep(1);  // a millisecond for ten minutes: the worker does not spin
    }
    std::atomic<int> sleeps{0};
    winbase::UniqueHandleKernel sleeper;  // written before the first count, read after
};

TEST(TrayWindowKit, TheStatusWorkerEndsWithTheWindowWhileItsObjectsLive) {
    ResetConfiguration();
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32(boxes);
    FastClock clock;
    const platform::Platform& real = win32.platform();
    const platform::Platform fast{real.registry, real.profile, real.files,   real.processes,
                                  real.desktop,  real.system,  real.dialogs, real.libraries,
                                  clock,         real.text};
    // As in the program, the window object outlives its worker: here until the worker's
    // thread is seen to end.
    auto tray = std::make_unique<tray::win32::TrayWindow>(::GetModuleHandleW(nullptr), fast, "");
    std::thread closer([&] {
        WaitUntil([&] { return clock.sleeps.load() > 50; }, 10s);
        const HWND window = ::FindWindowW(L"Vantrel", L"Quorvanes TrayIcon");
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(tray->Run(SW_HIDE), 0);
    closer.join();
    EXPECT_GT(clock.sleeps.load(), 50) << "the refresh ran through the gate";
    ASSERT_TRUE(clock.sleeper);
    if (::WaitForSingleObject(clock.sleeper.get(), 10000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the worker did not end with the window";
        (void)tray.release();  // the worker may still reach it
    }
}

TEST(ProgramStart, ALibraryPlantedInTheCurrentFolderIsNotLoaded) {
    TempFolder folder(L"qv planted");
    ASSERT_TRUE(::CopyFileW(SiblingPath(L"doubles\\qvplanted.dll").c_str(),
                            (folder.path() + L"\\qvplanted.dll").c_str(), FALSE));
    const std::wstring probe = L"\"" + SiblingPath(L"DllSearchProbe.exe") + L"\"";
    const Child unhardened = StartProgram(probe, folder.path().c_str());
    EXPECT_EQ(WaitForExit(unhardened, 20s), 2u) << "without the hardening the plant would load";
    const Child hardened = StartProgram(probe + L" --harden", folder.path().c_str());
    EXPECT_EQ(WaitForExit(hardened, 20s), 0u);
}

}  // namespace
}  // namespace qv
