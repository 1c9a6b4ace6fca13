// The shape in which a dialog describes its controls: one row per control with its kind,
// its parent, its place at 96 DPI, its text, its look and its name for a screen reader.
// `DialogWindow` walks a table to create the children (in the table's order, which is the
// tab order), to give them their fonts and to lay them out for the window's DPI. The table
// is plain data without <windows.h>, so tests read it natively as well.
#pragma once

#include <span>
#include <string_view>

namespace qv::ui::win32 {

enum class ControlKind {
    Label,      // static text
    LinkLabel,  // static text that answers clicks (STN_CLICKED), in the link font and colour
    GroupBox,
    CheckBox,
    Button,
    ComboBox,  // a drop-down list
    SpinEdit,  // a number field with up-down arrows, the arrows' id in `partner`
    TextBox,   // several lines, read only
    ListBox,   // a plain list of one column
    ProgressBar,
    PathEdit,  // a one-line field with a "Browse..." button, the button's id in `partner`
    Edit,      // a one-line field the user types in
    Window,    // a kit window of the dialog's own, made by DialogWindow::CreateOwnControl
};

namespace look {
inline constexpr unsigned kBold = 1u << 0;
inline constexpr unsigned kCentred = 1u << 1;
inline constexpr unsigned kSmall = 1u << 2;  // the dialog's small font
inline constexpr unsigned kWordWrap = 1u << 3;
inline constexpr unsigned kDefault = 1u << 4;  // the default push button
// Centred vertically as well: the text's lines stand in the middle of the control's height
// (MiddleTop). A static control draws its lines from the top, so the walk places them.
inline constexpr unsigned kMiddle = 1u << 6;
}  // namespace look

struct Place {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlLayout {
    int id = 0;
    std::string_view name;
    ControlKind kind = ControlKind::Label;
    int parent = 0;  // the id of the group box or panel it lies in; 0 the window
    Place place;     // relative to the parent, at 96 DPI
    std::string_view text;
    unsigned look = 0;
    // What a screen reader calls the control; empty: its text. The walk gives it to the
    // controls that have no text of their own to show (a list, a field, a picture).
    std::string_view accessibleName = {};
    int partner = 0;  // the second window of a SpinEdit or a PathEdit
    // For kind Window: the class its control registers, as a test finds it.
    const wchar_t* windowClass = nullptr;
};

using ControlTable = std::span<const ControlLayout>;

// The width of a PathEdit's button at 96 DPI and the gap before it.
inline constexpr int kBrowseWidth = 75;
inline constexpr int kBrowseGap = 6;
inline constexpr std::string_view kBrowseText = "&Browse...";

// Where the text of a kMiddle label starts within its control: as far from the bottom as
// from the top (a pixel more below when the difference is odd), at the top when the text is
// as high as the control or higher. Both heights in the same pixels (the window's DPI).
constexpr int MiddleTop(int controlHeight, int textHeight) {
    return textHeight >= controlHeight ? 0 : (controlHeight - textHeight) / 2;
}

// The control's place in the window's client area at 96 DPI: its parent's place added.
constexpr Place WindowPlace(ControlTable table, const ControlLayout& control) {
    Place place = control.place;
    for (const ControlLayout& parent : table) {
        if (parent.id == control.parent && control.parent != 0) {
            place.left += parent.place.left;
            place.top += parent.place.top;
        }
    }
    return place;
}

// The name a screen reader gives the row's control.
constexpr std::string_view AccessibleNameOf(const ControlLayout& control) {
    return control.accessibleName.empty() ? control.text : control.accessibleName;
}

// The text of the table's control `id`; empty when the table has none.
constexpr std::string_view TextOf(ControlTable table, int id) {
    for (const ControlLayout& control : table) {
        if (control.id == id) {
            return control.text;
        }
    }
    return {};
}

}  // namespace qv::ui::win32
