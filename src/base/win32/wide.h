// UTF-8 inside, UTF-16 at the Win32 call: the one place where text is converted.
#pragma once

#include <string>
#include <string_view>

namespace qv::winbase {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace qv::winbase
