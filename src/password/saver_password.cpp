#include "password/saver_password.h"

#include <string>

namespace qv::password {

namespace {

// The system directory as a 260-character buffer holds it; a longer one does not fit and
// leaves the buffer empty, so the library is then looked for by its bare name.
std::string SystemLibraryPath(platform::Files& files, std::string_view fileName) {
    std::string dir = files.SystemDirectory();
    if (dir.size() >= kSystemDirBufferChars) {
        dir.clear();
    }
    return dir + std::string(fileName);
}

}  // namespace

void ChangeSaverPassword(const platform::Platform& platform, platform::WindowId window) {
    (void)platform.libraries.PwdChangePassword(SystemLibraryPath(platform.files, kMprDll),
                                               kPasswordProvider, window);
}

bool VerifySaverPassword(const platform::Platform& platform, platform::WindowId window) {
    const auto result = platform.libraries.VerifyScreenSavePwd(
        SystemLibraryPath(platform.files, kPasswordCpl), window);
    if (result.call != platform::LibraryCall::Done) {
        return true;
    }
    return (result.value & 0xFFu) != 0;  // a BOOL judged by its low byte
}

}  // namespace qv::password
