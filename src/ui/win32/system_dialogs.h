// The system's message boxes, the programs' `platform::Dialogs`: each program's entry
// function makes one and hands it to its platform. A window's own boxes go through its
// WindowDialogs, which shows them here on the window's thread.
#pragma once

#include <windows.h>

#include "platform/ports.h"

namespace qv::ui::win32 {

class SystemDialogs final : public platform::Dialogs {
  public:
    platform::Answer Show(const platform::MessageBoxRequest& request) override;
};

}  // namespace qv::ui::win32
