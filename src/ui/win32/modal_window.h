// The base of modal windows: the owner is disabled while the window runs, Enter and Escape
// press the default and the cancel button, the window opens centred on its owner (or on the
// work area), and it follows a change of DPI (moved to a monitor of another scale).
#pragma once

#include "ui/win32/window.h"

namespace qv::ui::win32 {

// ShowModal's result when the window could not be made.
inline constexpr int kModalNotShown = -1;

class ModalWindow : public Window {
  public:
    // Creates the window through CreateModal, runs it until EndModal and returns the id
    // given there: IDCANCEL when the window went another way, kModalNotShown when it could
    // not be created.
    int ShowModal(HWND owner);

  protected:
    // Creates the window, hidden, owned by `owner`; false when it could not be created.
    [[nodiscard]] virtual bool CreateModal(HWND owner) = 0;
    void EndModal(int result);
    // The id Enter presses.
    [[nodiscard]] virtual int DefaultButton() const { return IDOK; }
    // The control that has the focus when the window appears; nullptr: the system's choice.
    [[nodiscard]] virtual HWND InitialFocus() const { return nullptr; }
    // IDOK and IDCANCEL (Escape, the close box) end the window with that id.
    virtual void OnOk() { EndModal(IDOK); }
    virtual void OnCancel() { EndModal(IDCANCEL); }
    // The window has taken the size the system suggests for the new DPI: fonts and places
    // follow here.
    virtual void OnDpiChanged(UINT /*dpi*/) {}

    // The default answers for what a modal window receives; derived windows call it for
    // what they do not handle themselves.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool ended_ = false;
    int result_ = IDCANCEL;
};

}  // namespace qv::ui::win32
