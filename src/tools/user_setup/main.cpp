// QVUserSetup.exe: a user's first experience of the installation (config/first_logon.h),
// without a window. Windows runs it once for each user at log-on (Active Setup: both
// installers register it under install::kActiveSetupKeyPath); the NSIS installer also runs
// it for the user who installs. Its exit code: 0 done, 1 a value could not be written.
#include <windows.h>

#include "common/install_names.h"
#include "config/first_logon.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/program_start.h"
#include "ui/win32/system_dialogs.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    qv::ui::win32::HardenDllSearch();
    qv::ui::win32::SystemDialogs boxes;
    qv::platform::win32::Win32Platform win32(boxes);
    const auto done =
        qv::config::GiveFirstExperience(win32.platform(), qv::install::kSampleRotation);
    return done.failed ? 1 : 0;
}
