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
        EXPECT_FALSE(OpenWebAddress(desktop, 0, refused, platform::ShowCommand::Hide)) << refused;
    }
    EXPECT_TRUE(
        OpenWebAddress(desktop, 0, "https://harbour.example/", platform::ShowCommand::Normal));
    ASSERT_EQ(desktop.openedAddresses.size(), 1u);
    EXPECT_EQ(desktop.openedAddresses[0].first, "https://harbour.example/");
    EXPECT_EQ(desktop.openedAddresses[0].second, platform::ShowCommand::Normal);
}

}  // namespace
}  // namespace qv::desktop
