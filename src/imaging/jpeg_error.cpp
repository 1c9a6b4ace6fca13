#include "imaging/jpeg_error.h"

namespace qv::imaging {

namespace {

[[noreturn]] void JumpBack(j_common_ptr info) {
    auto* manager = reinterpret_cast<JumpingErrorManager*>(info->err);
    std::longjmp(manager->escape, 1);
}

void CountWarnings(j_common_ptr info, int level) {
    if (level < 0) {
        ++info->err->num_warnings;  // a warning: data damaged or cut short
    }
}

}  // namespace

jpeg_error_mgr* InstallJumpingErrors(JumpingErrorManager& manager) {
    jpeg_error_mgr* errors = jpeg_std_error(&manager.base);
    errors->error_exit = JumpBack;
    errors->emit_message = CountWarnings;
    return errors;
}

}  // namespace qv::imaging
