// The system controls a dialog's table makes (labels, buttons, check boxes, lists, fields,
// progress bars), reached through thin typed views of their handles: the dialog holds no
// class of its own for them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace qv::ui::win32 {

// Thin typed views of the system controls a table's walk creates.
class SystemControl {
  public:
    explicit SystemControl(HWND control) : control_(control) {}
    [[nodiscard]] HWND hwnd() const { return control_; }
    [[nodiscard]] std::string Text() const;
    void SetText(std::string_view text) const;
    void Enable(bool on) const { ::EnableWindow(control_, on ? TRUE : FALSE); }
    void Show(bool on) const { ::ShowWindow(control_, on ? SW_SHOW : SW_HIDE); }

  private:
    HWND control_;
};

class CheckBox : public SystemControl {
  public:
    using SystemControl::SystemControl;
    [[nodiscard]] bool Checked() const;
    void SetChecked(bool on) const;
};

// A combo box or a plain list box: its items and the one selected.
class ChoiceList : public SystemControl {
  public:
    using SystemControl::SystemControl;
    void Add(std::string_view item) const;
    void Clear() const;
    [[nodiscard]] int Count() const;
    [[nodiscard]] std::optional<int> Selection() const;
    void Select(std::optional<int> item) const;

  private:
    [[nodiscard]] bool IsCombo() const;
};

class ProgressBar : public SystemControl {
  public:
    using SystemControl::SystemControl;
    void SetRange(int most) const;
    void SetPosition(int at) const;
};

// The arrows of a SpinEdit.
class SpinArrows : public SystemControl {
  public:
    using SystemControl::SystemControl;
    void SetRange(int least, int most) const;
    void SetPosition(int at) const;
};

}  // namespace qv::ui::win32
