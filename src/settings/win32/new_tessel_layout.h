// The "New Tessel…" dialog's ids and table: the folder of pictures, the name, the size, the
// eight links, the progress of the making, Create and Cancel. Plain data, read by the tests.
#pragma once

#include <array>

#include "ui/win32/control_table.h"

namespace qv::settings::win32::new_tessel {

using ui::win32::ControlKind;
using ui::win32::ControlLayout;

namespace id {
inline constexpr int kFolderLabel = 3101;
inline constexpr int kFolder = 3102;
inline constexpr int kBrowse = 3103;
inline constexpr int kNameLabel = 3104;
inline constexpr int kName = 3105;
inline constexpr int kSizeLabel = 3106;
inline constexpr int kSize = 3107;
inline constexpr int kLinks = 3108;
// Link k (0 to 7): its label kLinkLabel + 2k, its field kLink + 2k.
inline constexpr int kLinkLabel = 3110;
inline constexpr int kLink = 3111;
inline constexpr int kProgress = 3130;
inline constexpr int kCreate = 3131;
// The system's IDCANCEL, spelled here without <windows.h>: the dialog's Cancel.
inline constexpr int kCancel = 2;
}  // namespace id

inline constexpr int kClientWidth = 420;
inline constexpr int kClientHeight = 400;
inline constexpr int kLinkRowHeight = 26;

// The size list's items, in the order of settings::SizeChoice.
inline constexpr std::array<std::string_view, 3> kSizeItems{
    "Fit to this computer's largest monitor", "640 x 480, as the link areas are laid out",
    "Own size"};

namespace detail {
constexpr ControlLayout LinkLabel(int k, std::string_view text) {
    return {id::kLinkLabel + 2 * k,
            "lblLink",
            ControlKind::Label,
            id::kLinks,
            {10, 23 + k * kLinkRowHeight, 50, 16},
            text};
}
constexpr ControlLayout LinkField(int k, std::string_view name) {
    return {id::kLink + 2 * k,
            "edtLink",
            ControlKind::Edit,
            id::kLinks,
            {65, 20 + k * kLinkRowHeight, 320, 22},
            "",
            0,
            name};
}
}  // namespace detail

inline constexpr std::array<ControlLayout, 26> kControls{{
    {id::kFolderLabel,
     "lblFolder",
     ControlKind::Label,
     0,
     {10, 12, 400, 16},
     "Folder of pictures:"},
    {id::kFolder,
     "edtFolder",
     ControlKind::PathEdit,
     0,
     {10, 30, 400, 23},
     "",
     0,
     "Folder of pictures",
     id::kBrowse},
    {id::kNameLabel, "lblName", ControlKind::Label, 0, {10, 66, 90, 16}, "Name:"},
    {id::kName, "edtName", ControlKind::Edit, 0, {110, 63, 300, 23}, "", 0, "Name"},
    {id::kSizeLabel, "lblSize", ControlKind::Label, 0, {10, 98, 90, 16}, "Size:"},
    {id::kSize, "cmbSize", ControlKind::ComboBox, 0, {110, 95, 300, 23}, "", 0, "Size"},
    {id::kLinks, "grpLinks", ControlKind::GroupBox, 0, {10, 128, 400, 228}, "Links (optional)"},
    detail::LinkLabel(0, "Link 1:"),
    detail::LinkField(0, "Link 1"),
    detail::LinkLabel(1, "Link 2:"),
    detail::LinkField(1, "Link 2"),
    detail::LinkLabel(2, "Link 3:"),
    detail::LinkField(2, "Link 3"),
    detail::LinkLabel(3, "Link 4:"),
    detail::LinkField(3, "Link 4"),
    detail::LinkLabel(4, "Link 5:"),
    detail::LinkField(4, "Link 5"),
    detail::LinkLabel(5, "Link 6:"),
    detail::LinkField(5, "Link 6"),
    detail::LinkLabel(6, "Link 7:"),
    detail::LinkField(6, "Link 7"),
    detail::LinkLabel(7, "Link 8:"),
    detail::LinkField(7, "Link 8"),
    {id::kProgress, "pbMaking", ControlKind::ProgressBar, 0, {10, 367, 230, 20}, "", 0, "Making"},
    {id::kCreate,
     "btnCreate",
     ControlKind::Button,
     0,
     {250, 365, 75, 25},
     "C&reate",
     ui::win32::look::kDefault},
    {id::kCancel, "btnCancel", ControlKind::Button, 0, {335, 365, 75, 25}, "Cancel"},
}};

}  // namespace qv::settings::win32::new_tessel
