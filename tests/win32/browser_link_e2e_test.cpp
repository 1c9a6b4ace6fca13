// QVBrowserLink.exe as the show uses it: the link left in UrlLink opened through the shell,
// a link that is no web address refused, and a browser that cannot start logged with the
// system's reason.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/shared_names.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

TEST(BrowserLinkProgram, OpensWebAddressesRefusesTheRestAndLogsTheSystemsReason) {
    ResetConfiguration();
    TempFolder folder(L"qv browser link");
    const std::wstring log = folder.path() + L"\\browser.log";
    const std::wstring record = folder.path() + L"\\opened.txt";
    // Before the program starts: the browser it starts inherits the recorder's file.
    const ScopedWebRecorder recorder(record);
    const Child program =
        StartProgram(L"\"" + SiblingPath(L"QVBrowserLink.exe") + L"\" --log \"" + log + L"\"");
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            window = ::FindWindowW(nullptr, L"Quorvanes BrowserLink");
            return window != nullptr;
        },
        20s));
    const auto notify = [&](const wchar_t* link) {
        SetUserValue(L"UrlLink", link);
        ::SendNotifyMessageW(window, shared::kWmUser, shared::kBrowserLinkOpen, 0);
    };
    const auto logged = [&](const std::string& line) {
        return WaitUntil([&] { return ReadFile(log).find(line) != std::string::npos; }, 20s);
    };

    notify(L"https://harbour.example/lights");
    EXPECT_TRUE(logged("opened|https://harbour.example/lights\r\n")) << ReadFile(log);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ReadFile(record).find("https://harbour.example/lights") != std::string::npos;
        },
        20s))
        << "the browser was not handed the address: " << ReadFile(record);

    notify(L"C:\\Windows\\notepad.exe");
    EXPECT_TRUE(logged("refused|C:\\Windows\\notepad.exe\r\n")) << ReadFile(log);

    {
        const ScopedWebRecorder broken(record, folder.path() + L"\\no such browser.exe");
        notify(L"https://harbour.example/");
        // The shell may tell the user in a box of its own as well: answered.
        EXPECT_TRUE(WaitUntil(
            [&] {
                if (const auto box = MessageBoxNow(program.pid)) {
                    Answer(*box, IDOK);
                }
                return ReadFile(log).find("failed|https://harbour.example/|") != std::string::npos;
            },
            30s))
            << ReadFile(log);
    }
    const std::string text = ReadFile(log);
    const auto failed = text.find("failed|https://harbour.example/|");
    ASSERT_NE(failed, std::string::npos);
    const auto reason = failed + std::string("failed|https://harbour.example/|").size();
    EXPECT_GT(text.find("\r\n", reason), reason) << "no reason after the failure: " << text;
    EndIfRunning(program);
}

}  // namespace
}  // namespace qv
