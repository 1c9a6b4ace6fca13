// libjpeg's default error handler ends the process; these hand the error back instead.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace qv::imaging {

struct JumpingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

// Installs the handlers: errors longjmp to `escape`, messages are not printed.
jpeg_error_mgr* InstallJumpingErrors(JumpingErrorManager& manager);

}  // namespace qv::imaging
