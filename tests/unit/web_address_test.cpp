#include "desktop/web_address.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace qv::desktop {
namespace {

TEST(WebAddress, OnlyWebAddressesReachTheShell) {
    EXPECT_TRUE(IsWebAddress("http://harbour.example/lights"));
    EXPECT_TRUE(IsWebAddress("HTTPS://harbour.example/"));
    EXPECT_FALSE(IsWebAddress("http://")) << "nothing after the scheme";
    EXPECT_FALSE(IsWebAddress(""));
    EXPECT_FALSE(IsWebAddress(" http://harbour.example/")) << "the scheme must lead";
    EXPECT_FALSE(IsWebAddress("http://harbour.example/\r\nC:\\evil.exe"));

    // Whatever the source (a Tessel's link, CustInfo.dll's string, the product's own site),
    // a program path, a file or a script is never handed to the shell's "open".
    platform::memory::MemoryDesktop desktop;
    for (const char* refused : {"C:\\Windows\\System32\\calc.exe", "file:///C:/Windows/win.ini",
                                "javascript:alert(1)", "\\\\server\\share\\run.exe"}) {
        EXPECT_EQ(OpenWebAddress(desktop, 0, refused, platform::ShowCommand::Hide).status,
                  OpenStatus::Refused)
            << refused;
    }
    EXPECT_TRUE(desktop.openedAddresses.empty());
    EXPECT_TRUE(
        OpenWebAddress(desktop, 0, "https://harbour.example/", platform::ShowCommand::Normal)
            .opened());
    ASSERT_EQ(desktop.openedAddresses.size(), 1u);
    EXPECT_EQ(desktop.openedAddresses[0].first, "https://harbour.example/");
    EXPECT_EQ(desktop.openedAddresses[0].second, platform::ShowCommand::Normal);

    // The shell's failure reaches the caller with the system's reason.
    desktop.openResult = {false, "No application is associated with the specified file."};
    const auto failed =
        OpenWebAddress(desktop, 0, "http://harbour.example/", platform::ShowCommand::Normal);
    EXPECT_EQ(failed.status, OpenStatus::Failed);
    EXPECT_EQ(failed.reason, desktop.openResult.reason);
}

}  // namespace
}  // namespace qv::desktop
