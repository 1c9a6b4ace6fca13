// "New Tessel…" of the settings window: a dialog declared by its table
// (new_tessel_layout.h) in which the user names a folder of pictures, a name, a size and the
// links, and Create makes the Tessel in the user's own Tessels folder on a worker, with its
// progress and Cancel, the dialog answering all the while. The rules are settings/new_tessel.h.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "config/tessel_folders.h"
#include "platform/ports.h"
#include "settings/new_tessel.h"
#include "ui/win32/dialog_window.h"
#include "ui/win32/window_dialogs.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kNewTesselClass[] = L"QuorvanesNewTessel";

class NewTesselDialog final : public ui::win32::DialogWindow {
  public:
    NewTesselDialog(HINSTANCE instance, const platform::Platform& platform,
                    const config::TesselFolders& folders);
    ~NewTesselDialog() override;
    static const ui::win32::DialogTable& Layout();
    // The title of the Tessel made, once the dialog has ended with IDOK.
    [[nodiscard]] const std::string& Made() const { return made_; }

  private:
    [[nodiscard]] int DefaultButton() const override;
    [[nodiscard]] HWND InitialFocus() const override;
    bool OnControlsCreated() override;
    void OnCommand(int id, int code) override;
    void OnOk() override {}  // Enter presses Create, the default button
    void OnCancel() override;
    void CreateClick();
    void BrowseClick();
    void OnProgress(std::size_t done, std::size_t total);
    void OnEnded(const NewTesselPlan& plan, const making::MakeResult& result);
    void SetMaking(bool making);
    void Say(const std::string& text);

    const platform::Platform& platform_;
    const config::TesselFolders& folders_;
    std::shared_ptr<ui::win32::WindowDialogs> boxes_;
    // Shared with the making's worker: set, the making stops after its picture.
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::string made_;
};

// The menu's "New Tessel…": runs the dialog over `owner`; the title made, or nullopt.
std::optional<std::string> RunNewTessel(HINSTANCE instance, HWND owner,
                                        const platform::Platform& platform,
                                        const config::TesselFolders& folders);

}  // namespace qv::settings::win32
