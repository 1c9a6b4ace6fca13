// The system's own words for an error code, as a user reads them in a box.
#pragma once

#include <windows.h>

#include <string>

namespace qv::winbase {

// FormatMessage's text for `code` in the user's language, without the trailing line break;
// "error N" when the system has no text for it.
std::string SystemErrorText(DWORD code);

// The text of GetLastError, read at once; empty when the call that failed left no code
// (some calls fail without setting one, and code 0 reads "completed successfully").
std::string LastErrorText();

}  // namespace qv::winbase
