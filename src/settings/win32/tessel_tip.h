// The tip over a Tessel row of the settings list: the Tessel at a glance (its first picture
// small, its pictures and their size, its links' hosts and addresses). The check list tells
// the settings window which row the mouse rests on or the focus moved to (kWmListGlance);
// the window hands it here. The Tessel is read on a worker, never on the window's thread:
// the worker posts what it read through the tip's gate, and the tip shows it if that row is
// still the one asked for. Each Tessel is read once while the settings window is open.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "config/tessel_folders.h"
#include "platform/ports.h"
#include "settings/tessel_glance.h"
#include "ui/win32/window.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kTesselTipClass[] = L"QuorvanesTesselTip";

class TesselTip final : public ui::win32::Window {
  public:
    // `folders` is the settings window's, read when it opens, and outlives the tip.
    TesselTip(platform::Files& files, const config::TesselFolders& folders)
        : files_(files), folders_(folders) {}
    ~TesselTip() override { Destroy(); }

    // The row `row` of `list` (a Tessel's title) is pointed at or has the focus: its tip shows
    // beside the row. A row below -1, a row that is no Tessel, hides it.
    void Glance(HWND list, int row);
    void Hide();
    // What was read is read again: a Tessel may have been replaced.
    void Forget() { read_.clear(); }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool Made(HWND owner);
    void Present(const std::string& title, const TesselGlance& glance);
    void Paint();

    platform::Files& files_;
    const config::TesselFolders& folders_;
    std::map<std::string, std::shared_ptr<const TesselGlance>> read_;  // by path
    std::uint64_t asked_ = 0;  // the latest request; an older one's answer is not shown
    HWND list_ = nullptr;
    RECT row_{};  // on the screen
    std::shared_ptr<const TesselGlance> shown_;
    std::wstring text_;
};

}  // namespace qv::settings::win32
