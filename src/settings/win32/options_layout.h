// The settings window's controls as data: one row per control with its parent, its place
// at 96 DPI and its text. The window walks the table to create its children (in the
// table's order, which is the tab order) and a test compares it with the live window.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "adbanner/ad_banner.h"
#include "ui/win32/control_table.h"

namespace qv::settings::win32 {

using ui::win32::ControlKind;
using ui::win32::ControlLayout;
using ui::win32::Place;
namespace look = ui::win32::look;

// The settings window's own kinds of control (controls.h), by their window classes.
inline constexpr wchar_t kPictureClass[] = L"QuorvanesPicture";
inline constexpr wchar_t kPanelClass[] = L"QuorvanesPanel";
inline constexpr wchar_t kCheckListClass[] = L"QuorvanesCheckList";

// Control ids; OK and Cancel are the system's IDOK and IDCANCEL.
namespace id {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kLogo = 1001;
inline constexpr int kCustomer = 1002;
inline constexpr int kLabel5 = 1003;
inline constexpr int kLabel2 = 1004;
inline constexpr int kHelp = 1005;
inline constexpr int kGroupSavers = 1006;
inline constexpr int kSavers = 1007;
inline constexpr int kLabel1 = 1008;
inline constexpr int kGroupTessels = 1009;
inline constexpr int kTessels = 1010;
inline constexpr int kViewTime = 1011;
inline constexpr int kMouseDelay = 1012;
inline constexpr int kLabel4 = 1013;
inline constexpr int kLabel3 = 1014;
inline constexpr int kLabel8 = 1015;
inline constexpr int kPanel = 1016;
inline constexpr int kPasswordCheck = 1017;
inline constexpr int kPasswordButton = 1018;
inline constexpr int kLabel7 = 1019;
inline constexpr int kWaitTime = 1020;
inline constexpr int kLabel9 = 1021;
inline constexpr int kGroupPreshows = 1022;
inline constexpr int kLabel6 = 1023;
inline constexpr int kPreshows = 1024;
inline constexpr int kEmailList = 1025;
inline constexpr int kBanner = 1026;
inline constexpr int kWaitSpin = 1027;  // the arrows beside kWaitTime
// Opens the picture show's choices (picture_show_dialog.h), whose ids it shares.
inline constexpr int kPictureShow = 3210;
}  // namespace id

inline constexpr std::string_view kCaption = "Quorvanes(TM) Manager";
inline constexpr int kClientWidth = 622;
inline constexpr int kClientHeight = 438;
inline constexpr int kFontHeight = 12;
inline constexpr int kSmallFontHeight = 11;
inline constexpr int kItemHeight = 15;
inline constexpr wchar_t kFontFace[] = L"Arial";
inline constexpr std::string_view kImageHint = "Click for more information.";
inline constexpr std::string_view kBannerHint = "Visit our sponsors.";
inline constexpr std::string_view kSaversCaption = "System Screen Savers";
inline constexpr std::string_view kTesselsCaption = "Quorvanes\u2122 Photoreels\u2122";
inline constexpr std::string_view kPreshowsCaption = "Quorvanes\u2122 Preshows\u2122";
inline constexpr std::string_view kPanelName = "Password and waiting time";

// Window children first in the window's tab order; each group box and the panel are
// followed by what lies in them.
inline constexpr std::array<ControlLayout, 29> kControls{{
    {id::kLogo,
     "imgQuorvanesLogo",
     ControlKind::Window,
     0,
     {430, 2, 170, 91},
     "",
     0,
     kImageHint,
     0,
     kPictureClass},
    {id::kCustomer,
     "imgCustomerBitmap",
     ControlKind::Window,
     0,
     {435, 97, 160, 80},
     "",
     0,
     kImageHint,
     0,
     kPictureClass},
    {id::kLabel5,
     "Label5",
     ControlKind::Label,
     0,
     {112, 2, 193, 15},
     "SCREEN SAVER ROTATION",
     look::kBold | look::kCentred},
    {id::kLabel2,
     "Label2",
     ControlKind::Label,
     0,
     {12, 18, 393, 33},
     "Select the titles that you would like to include.\r\nA different title will appear each "
     "time the screen saver launches.",
     look::kCentred | look::kMiddle | look::kWordWrap},
    {id::kOk, "btnOK", ControlKind::Button, 0, {508, 379, 75, 25}, "&OK", look::kDefault},
    {id::kCancel, "btnCancel", ControlKind::Button, 0, {507, 411, 75, 25}, "&Cancel", 0},
    {id::kHelp, "btnHelp", ControlKind::Button, 0, {416, 184, 81, 25}, "&Get Help", 0},
    {id::kGroupSavers,
     "GroupBox2",
     ControlKind::GroupBox,
     0,
     {3, 56, 202, 281},
     kSaversCaption,
     look::kBold},
    {id::kSavers,
     "lstSystemSavers",
     ControlKind::Window,
     id::kGroupSavers,
     {9, 20, 185, 213},
     "",
     0,
     kSaversCaption,
     0,
     kCheckListClass},
    {id::kLabel1,
     "Label1",
     ControlKind::Label,
     id::kGroupSavers,
     {12, 241, 177, 30},
     "Right-click title for Settings, \r\nPreview or Delete",
     look::kSmall | look::kCentred},
    {id::kGroupTessels,
     "GroupBox1",
     ControlKind::GroupBox,
     0,
     {203, 56, 202, 281},
     kTesselsCaption,
     look::kBold},
    {id::kTessels,
     "lstQuorvane",
     ControlKind::Window,
     id::kGroupTessels,
     {7, 18, 185, 159},
     "",
     0,
     kTesselsCaption,
     0,
     kCheckListClass},
    {id::kViewTime,
     "cboViewTime",
     ControlKind::ComboBox,
     id::kGroupTessels,
     {12, 203, 50, 23},
     "8",
     0,
     "Viewing Time (sec) for each picture"},
    {id::kMouseDelay,
     "cboMouseDelay",
     ControlKind::ComboBox,
     id::kGroupTessels,
     {12, 243, 50, 23},
     "5",
     0,
     "Mouse turn-off delay (sec)"},
    {id::kLabel4,
     "Label4",
     ControlKind::Label,
     id::kGroupTessels,
     {6, 181, 193, 18},
     "Right-click title for Preview or Delete",
     look::kSmall | look::kCentred},
    {id::kLabel3,
     "Label3",
     ControlKind::Label,
     id::kGroupTessels,
     {74, 197, 121, 34},
     "Viewing Time (sec)\r\nfor each picture",
     look::kWordWrap},
    {id::kLabel8,
     "Label8",
     ControlKind::Label,
     id::kGroupTessels,
     {74, 236, 124, 34},
     "Mouse turn-off\r\ndelay (sec)",
     0},
    // In the room right of the title, above the Tessels' group, whose show it sets.
    {id::kPictureShow,
     "btnPictureShow",
     ControlKind::Button,
     0,
     {310, 1, 95, 17},
     "Picture &show...",
     look::kSmall},
    {id::kPanel,
     "Panel1",
     ControlKind::Window,
     0,
     {3, 330, 402, 41},
     "",
     0,
     kPanelName,
     0,
     kPanelClass},
    {id::kPasswordCheck,
     "chkPassword",
     ControlKind::CheckBox,
     id::kPanel,
     {10, 12, 145, 17},
     "Password Protected",
     0},
    {id::kPasswordButton,
     "btnPassword",
     ControlKind::Button,
     id::kPanel,
     {159, 8, 64, 25},
     "Change",
     0},
    {id::kLabel7, "Label7", ControlKind::Label, id::kPanel, {249, 13, 24, 15}, "Wait", 0},
    {id::kWaitTime,
     "spnWaitTime",
     ControlKind::SpinEdit,
     id::kPanel,
     {279, 9, 51, 23},
     "1",
     0,
     "Wait (minutes)",
     id::kWaitSpin},
    {id::kLabel9, "Label9", ControlKind::Label, id::kPanel, {338, 13, 52, 15}, "minutes", 0},
    {id::kGroupPreshows,
     "GroupBox3",
     ControlKind::GroupBox,
     0,
     {408, 211, 215, 158},
     kPreshowsCaption,
     look::kBold},
    {id::kLabel6,
     "Label6",
     ControlKind::Label,
     id::kGroupPreshows,
     {4, 15, 206, 58},
     "Selected item will appear before the\r\nscreen saver launches.  Right-click "
     "item\r\nfor Settings, Preview or Delete",
     look::kSmall | look::kCentred},
    {id::kPreshows,
     "lstPreshows",
     ControlKind::Window,
     id::kGroupPreshows,
     {12, 64, 193, 89},
     "",
     0,
     kPreshowsCaption,
     0,
     kCheckListClass},
    {id::kEmailList,
     "EmailListButton",
     ControlKind::Button,
     0,
     {504, 184, 113, 25},
     "&Join the Email List",
     0},
    {id::kBanner,
     "AdImage1",
     ControlKind::Window,
     0,
     {8, 376, 468, 60},
     "",
     0,
     kBannerHint,
     0,
     adbanner::kAdImageClass},
}};

// The three context menus: items in order; id 0 is a separator.
struct MenuItemLayout {
    int id = 0;
    std::string_view name;
    std::string_view text;
};

namespace menu {
inline constexpr int kSaverSettings = 2001;
inline constexpr int kSaverPreview = 2002;
inline constexpr int kSaverDelete = 2003;
inline constexpr int kTesselPreview = 2012;
inline constexpr int kTesselDelete = 2013;
inline constexpr int kPreshowSettings = 2021;
inline constexpr int kPreshowPreview = 2022;
inline constexpr int kPreshowDelete = 2023;
}  // namespace menu

inline constexpr std::array<MenuItemLayout, 4> kSaverMenu{
    {{menu::kSaverSettings, "SSSettings", "Settings"},
     {menu::kSaverPreview, "SSPreview", "Preview"},
     {0, "N1", ""},
     {menu::kSaverDelete, "SSDelete", "Delete"}}};
inline constexpr std::array<MenuItemLayout, 3> kTesselMenu{
    {{menu::kTesselPreview, "QVPreview", "Preview"},
     {0, "N2", ""},
     {menu::kTesselDelete, "QVDelete", "Delete"}}};
inline constexpr std::array<MenuItemLayout, 4> kPreshowMenu{
    {{menu::kPreshowSettings, "PSSettings", "Settings"},
     {menu::kPreshowPreview, "PSPreview", "Preview"},
     {0, "N3", ""},
     {menu::kPreshowDelete, "PSDelete", "Delete"}}};

using ui::win32::MiddleTop;

// The control's place in the window's client area at 96 DPI: its parent's place added.
constexpr Place WindowPlace(const ControlLayout& control) {
    return ui::win32::WindowPlace(kControls, control);
}

}  // namespace qv::settings::win32
