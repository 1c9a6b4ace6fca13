// The shape in which the settings window and the help dialog describe their controls: one
// row per control with its kind, its parent, its place at 96 DPI, its text and its look. A
// window walks its table to create its children (in the table's order, which is the tab
// order) and to lay them out for its DPI.
#pragma once

#include <cstdint>
#include <string_view>

namespace qv::settings::win32 {

enum class ControlKind {
    Image,
    Label,
    GroupBox,
    CheckList,
    ComboBox,
    Panel,
    CheckBox,
    Button,
    SpinEdit,
    Banner,
    TextBox,  // several lines, read only
};

namespace look {
inline constexpr unsigned kBold = 1u << 0;
inline constexpr unsigned kCentred = 1u << 1;
inline constexpr unsigned kSmall = 1u << 2;  // 11 pixels instead of 12
inline constexpr unsigned kWordWrap = 1u << 3;
inline constexpr unsigned kDefault = 1u << 4;  // the default push button
inline constexpr unsigned kLink = 1u << 5;     // a label that answers clicks, underlined
// Centred vertically as well: the text's lines stand in the middle of the control's height
// (MiddleTop). A static control draws its lines from the top, so the window places them.
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
};

// The window class and styles of a row's control (the table itself is portable data).
struct ControlStyle {
    const wchar_t* className;
    std::uint32_t style;
    std::uint32_t exStyle;
};
[[nodiscard]] ControlStyle StyleOf(const ControlLayout& control);

}  // namespace qv::settings::win32
