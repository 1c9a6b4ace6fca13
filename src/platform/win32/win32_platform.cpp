// Every adapter of the programs, as one platform.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

Win32Platform::Win32Platform(Dialogs& dialogs)
    : platform_{registry_, profile_, files_,     processes_, desktop_,
                system_,   dialogs,  libraries_, clock_,     text_} {}

}  // namespace qv::platform::win32
