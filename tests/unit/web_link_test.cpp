#include "tools/browser_link/web_link.h"

#include <gtest/gtest.h>

namespace qv::browser_link {
namespace {

TEST(WebLink, OnlyWebAddressesAreOpened) {
    EXPECT_TRUE(IsWebLink("http://harbour.example/lights"));
    EXPECT_TRUE(IsWebLink("HTTPS://harbour.example/"));
    EXPECT_FALSE(IsWebLink("http://")) << "nothing after the scheme";
    EXPECT_FALSE(IsWebLink(""));
    EXPECT_FALSE(IsWebLink("C:\\Windows\\System32\\calc.exe"));
    EXPECT_FALSE(IsWebLink("file:///C:/Windows/System32/calc.exe"));
    EXPECT_FALSE(IsWebLink("javascript:alert(1)"));
    EXPECT_FALSE(IsWebLink(" http://harbour.example/")) << "the scheme must lead";
    EXPECT_FALSE(IsWebLink("http://harbour.example/\r\nC:\\evil.exe"));
}

}  // namespace
}  // namespace qv::browser_link
