// The "Picture show" dialog's controls as data: how the show uses the monitors, three
// choices in three groups. Each choice is a check box; those of a group behave as one
// choice (checking one clears the others), so every mnemonic picks its choice at once.
#pragma once

#include <array>
#include <string_view>

#include "ui/win32/control_table.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kPictureShowDialogClass[] = L"QuorvanesPictureShow";

namespace picture_show {

// Control ids; OK and Cancel are the system's IDOK and IDCANCEL.
namespace id {
inline constexpr int kSizeGroup = 3201;
inline constexpr int kOwnSize = 3202;
inline constexpr int kFillMonitor = 3203;
inline constexpr int kMonitorsGroup = 3204;
inline constexpr int kPrimaryOnly = 3205;
inline constexpr int kSameOnEach = 3206;
inline constexpr int kNextOnEach = 3207;
inline constexpr int kChangeGroup = 3208;
inline constexpr int kCrossfade = 3209;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
}  // namespace id

inline constexpr std::string_view kCaption = "Picture show";
inline constexpr int kClientWidth = 320;
inline constexpr int kClientHeight = 259;

using ui::win32::ControlKind;
namespace look = ui::win32::look;

// In the tab order; the choices at their group's offset.
inline constexpr std::array<ui::win32::ControlLayout, 11> kControls{{
    {id::kSizeGroup,
     "grpSize",
     ControlKind::GroupBox,
     0,
     {12, 8, 296, 62},
     "Picture size",
     look::kBold},
    {id::kOwnSize,
     "chkOwnSize",
     ControlKind::CheckBox,
     id::kSizeGroup,
     {10, 20, 280, 17},
     "At its own si&ze, in the middle of the monitor",
     0,
     "Picture size: at its own size, in the middle of the monitor"},
    {id::kFillMonitor,
     "chkFillMonitor",
     ControlKind::CheckBox,
     id::kSizeGroup,
     {10, 40, 280, 17},
     "&Filling the monitor, its shape kept",
     0,
     "Picture size: filling the monitor, its shape kept"},
    {id::kMonitorsGroup,
     "grpMonitors",
     ControlKind::GroupBox,
     0,
     {12, 78, 296, 82},
     "Monitors",
     look::kBold},
    {id::kPrimaryOnly,
     "chkPrimaryOnly",
     ControlKind::CheckBox,
     id::kMonitorsGroup,
     {10, 20, 280, 17},
     "Only the &primary monitor, the others black",
     0,
     "Monitors: only the primary monitor, the others black"},
    {id::kSameOnEach,
     "chkSameOnEach",
     ControlKind::CheckBox,
     id::kMonitorsGroup,
     {10, 40, 280, 17},
     "The s&ame picture on every monitor",
     0,
     "Monitors: the same picture on every monitor"},
    {id::kNextOnEach,
     "chkNextOnEach",
     ControlKind::CheckBox,
     id::kMonitorsGroup,
     {10, 60, 280, 17},
     "The &next pictures, one on each monitor",
     0,
     "Monitors: the next pictures, one on each monitor"},
    {id::kChangeGroup,
     "grpChange",
     ControlKind::GroupBox,
     0,
     {12, 168, 296, 42},
     "Change of picture",
     look::kBold},
    {id::kCrossfade,
     "chkCrossfade",
     ControlKind::CheckBox,
     id::kChangeGroup,
     {10, 20, 280, 17},
     "&Blend into the next picture (crossfade)",
     0,
     "Change of picture: blend into the next picture (crossfade)"},
    {id::kOk, "btnOK", ControlKind::Button, 0, {152, 222, 75, 25}, "&OK", look::kDefault},
    {id::kCancel, "btnCancel", ControlKind::Button, 0, {233, 222, 75, 25}, "&Cancel", 0},
}};

// The choices that behave as one, each group's in its order: PictureSize's, Monitors'.
inline constexpr std::array<int, 2> kSizeChoices{id::kOwnSize, id::kFillMonitor};
inline constexpr std::array<int, 3> kMonitorChoices{id::kPrimaryOnly, id::kSameOnEach,
                                                    id::kNextOnEach};

}  // namespace picture_show
}  // namespace qv::settings::win32
