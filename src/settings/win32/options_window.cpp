#include "settings/win32/options_window.h"

#include <commctrl.h>

#include <string>

#include "base/win32/dpi.h"
#include "base/win32/wide.h"
#include "password/saver_password.h"
#include "platform/messages.h"

namespace qv::settings::win32 {

namespace {

using ui::win32::ChoiceList;
using ui::win32::ControlLayout;
using winbase::UniqueGdiObject;

constexpr int kDropDownRows = 8;
constexpr std::string_view kWindowFailed = "Quorvanes could not open its settings window.";

constexpr ui::win32::DialogTable kOptionsTable{
    {kOptionsWindowClass, kCaption, WS_POPUP | WS_CAPTION, WS_EX_APPWINDOW | WS_EX_CONTROLPARENT,
     kClientWidth, kClientHeight, L"MAINICON", ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES},
    {kFontFace, 96, kFontHeight, kSmallFontHeight, kFontHeight},
    kControls,
    kItemHeight* kDropDownRows};

// The picture from the configuration, else the program's own.
UniqueGdiObject PictureOr(const std::optional<std::vector<std::uint8_t>>& jpeg, HINSTANCE instance,
                          const wchar_t* resource) {
    UniqueGdiObject bitmap = jpeg ? BitmapOfJpeg(*jpeg) : UniqueGdiObject();
    if (!bitmap) {
        bitmap.reset(::LoadImageW(instance, resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    return bitmap;
}

TitleKind KindOf(int list) {
    if (list == id::kSavers) {
        return TitleKind::Saver;
    }
    return list == id::kTessels ? TitleKind::Tessel : TitleKind::Preshow;
}

void FillCombo(const ChoiceList& combo, int first, int count, std::optional<int> selected) {
    for (int k = 0; k < count; ++k) {
        combo.Add(std::to_string(first + k));
    }
    combo.Select(selected);
}

}  // namespace

const ui::win32::DialogTable& OptionsWindow::Layout() {
    return kOptionsTable;
}

OptionsWindow::OptionsWindow(HINSTANCE instance, const platform::Platform& platform,
                             BannerMaker banner)
    : DialogWindow(instance, kOptionsTable),
      platform_(platform),
      dialogs_(std::make_shared<ui::win32::WindowDialogs>(platform.dialogs, *this)),
      makeBanner_(std::move(banner)),
      launches_(platform, dialogs_) {}

OptionsWindow::~OptionsWindow() {
    Destroy();
}

int OptionsWindow::Run() {
    start_ = FormCreate(platform_);
    return ShowModal(nullptr);
}

platform::Platform OptionsWindow::Owned() const {
    return platform::WithDialogs(platform_, *dialogs_);
}

int RunSettingsDialog(HINSTANCE instance, const platform::Platform& platform, BannerMaker banner) {
    OptionsWindow window(instance, platform, std::move(banner));
    const int shown = window.Run();
    window.WaitForLaunches();
    if (shown == ui::win32::kModalNotShown) {
        platform::ShowHostMessage(platform.dialogs, kWindowFailed);
        return 1;
    }
    return 0;
}

CheckListControl& OptionsWindow::List(int list) {
    if (list == id::kSavers) {
        return savers_;
    }
    return list == id::kTessels ? tessels_ : preshows_;
}

bool OptionsWindow::CreateOwnControl(const ControlLayout& row) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (row.id) {
        case id::kBanner:
            banner_ = makeBanner_ ? makeBanner_(*dialogs_, Instance(), hwnd(), row.id) : nullptr;
            return banner_ != nullptr;
        case id::kLogo:
        case id::kCustomer:
            return (row.id == id::kLogo ? logoPicture_ : customerPicture_)
                .Create({Instance(), hwnd(), row.id, kChild, 0});
        case id::kPanel:
            return panel_.Create({Instance(), hwnd(), row.id, kChild, 0});
        default:
            break;
    }
    // A screen reader names the list by the caption of the group it lies in.
    List(row.id).SetAccessibleName(winbase::Widen(ui::win32::AccessibleNameOf(row)));
    return List(row.id).Create({Instance(), hwnd(), row.id,
                                kChild | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED |
                                    LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                WS_EX_CLIENTEDGE});
}

bool OptionsWindow::OnControlsCreated() {
    if (!menus_.Create()) {
        return false;
    }
    links_.CreateHints(Instance(), hwnd());
    // A screen reader names a picture by its window's text: the hint says what it does.
    for (const int own : {id::kLogo, id::kCustomer, id::kBanner, id::kPanel}) {
        ui::win32::SystemControl(Control(own)).SetText(ui::win32::AccessibleNameOf(*RowOf(own)));
    }
    ::SendMessageW(Control(id::kWaitTime), EM_LIMITTEXT, 2, 0);
    ui::win32::SpinArrows(Control(id::kWaitSpin)).SetRange(kWaitMinutesLeast, kWaitMinutesMost);
    FillControls();
    LoadPictures();
    return true;
}

void OptionsWindow::OnLaidOut() {
    for (const int list : {id::kSavers, id::kTessels, id::kPreshows}) {
        ::SendMessageW(Control(list), LB_SETITEMHEIGHT, 0, winbase::Scaled(kItemHeight, Dpi()));
    }
}

void OptionsWindow::FillControls() {
    savers_.Fill(start_.savers.list);
    tessels_.Fill(start_.tessels);
    preshows_.Fill(start_.preshows);
    FillCombo(ChoiceList(Control(id::kViewTime)), 5, kViewTimeItems, start_.viewTimeIndex);
    FillCombo(ChoiceList(Control(id::kMouseDelay)), 3, kMouseDelayItems, start_.mouseDelayIndex);
    ui::win32::SpinArrows(Control(id::kWaitSpin)).SetPosition(start_.waitMinutes);
    ui::win32::CheckBox(Control(id::kPasswordCheck)).SetChecked(start_.passwordOn);
    const ui::win32::SystemControl passwordButton(Control(id::kPasswordButton));
    passwordButton.Enable(start_.passwordOn);
    if (start_.isNT) {
        passwordButton.Show(false);
    }
    showModes_ = start_.showModes;
}

void OptionsWindow::LoadPictures() {
    logo_ = PictureOr(start_.productPicture, Instance(), L"LOGO");
    customer_ = PictureOr(start_.customerPicture, Instance(), L"CUSTOMER");
    logoPicture_.SetPicture(static_cast<HBITMAP>(logo_.get()), true);
    customerPicture_.SetPicture(static_cast<HBITMAP>(customer_.get()), false);
}

OptionsChoice OptionsWindow::ReadChoice() {
    OptionsChoice choice;
    choice.tessels = tessels_.Read();
    choice.savers.list = savers_.Read();
    choice.savers.files = start_.savers.files;
    choice.preshows = preshows_.Read();
    choice.viewTimeIndex = ChoiceList(Control(id::kViewTime)).Selection();
    choice.mouseDelayIndex = ChoiceList(Control(id::kMouseDelay)).Selection();
    choice.passwordOn = ui::win32::CheckBox(Control(id::kPasswordCheck)).Checked();
    choice.waitText = ui::win32::SystemControl(Control(id::kWaitTime)).Text();
    choice.showModes = showModes_;
    return choice;
}

void OptionsWindow::btnOKClick() {
    try {
        if (ApplySettings(Owned(), start_, ReadChoice(), launches_.Previews()) ==
            OkOutcome::Applied) {
            EndModal(IDOK);
        }
    } catch (const config::ConfigError& error) {
        // The value that failed is named; the remaining steps were not run.
        platform::ShowHostMessage(*dialogs_, error.what());
    }
}

void OptionsWindow::chkPasswordClick() {
    const bool on = ui::win32::CheckBox(Control(id::kPasswordCheck)).Checked();
    ui::win32::SystemControl(Control(id::kPasswordButton)).Enable(on);
}

void OptionsWindow::btnPasswordClick() {
    password::ChangeSaverPassword(Owned(), reinterpret_cast<platform::WindowId>(hwnd()));
}

void OptionsWindow::OnCheckToggled(int list, int row) {
    if (list != id::kPreshows) {
        return;
    }
    CheckList rows = preshows_.Read();
    KeepOnePreshow(rows, row);
    preshows_.SetChecks(rows);
}

void OptionsWindow::Launch(Command command) {
    if (menus_.target().kind == TitleKind::Preshow &&
        !ChoiceList(Control(id::kPreshows)).Selection()) {
        return;
    }
    (void)launches_.Launch(menus_.target(), command);
}

void OptionsWindow::DeleteClick() {
    Lists current{{savers_.Read(), start_.savers.files}, tessels_.Read(), preshows_.Read()};
    const auto rebuilt = launches_.Delete(start_, menus_.target(), std::move(current));
    if (!rebuilt) {
        return;
    }
    start_.savers = rebuilt->savers;
    savers_.Fill(rebuilt->savers.list);
    tessels_.Fill(rebuilt->tessels);
    preshows_.Fill(rebuilt->preshows);
}

void OptionsWindow::OnCommand(int control, int code) {
    switch (control) {
        case menu::kSaverSettings:
        case menu::kPreshowSettings:
            Launch(Command::Settings);
            break;
        case menu::kSaverPreview:
        case menu::kTesselPreview:
        case menu::kPreshowPreview:
            Launch(Command::Preview);
            break;
        case menu::kNewTessel:
            NewTesselClick();
            break;
        case menu::kSaverDelete:
        case menu::kTesselDelete:
        case menu::kPreshowDelete:
            DeleteClick();
            break;
        case id::kPasswordButton:
            if (code == BN_CLICKED) {
                btnPasswordClick();
            }
            break;
        case id::kHelp:
            btnHelpClick();
            break;
        case id::kPictureShow:
            if (code == BN_CLICKED) {
                btnPictureShowClick();
            }
            break;
        case id::kLogo:
            (void)links_.Open(hwnd(), kProductSite);
            break;
        case id::kCustomer:
            (void)links_.Open(hwnd(), start_.customerLink);
            break;
        case id::kEmailList:
            (void)links_.Open(hwnd(), kEmailListPage);
            break;
        case id::kPasswordCheck:
            if (code == BN_CLICKED) {
                chkPasswordClick();
            }
            break;
        default:
            break;
    }
}

LRESULT OptionsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MEASUREITEM: {
            auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (item.CtlType == ODT_LISTBOX) {
                CheckListControl::Measure(item, Dpi());
                return TRUE;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (const auto* list = Window::ObjectOf<CheckListControl>(item.hwndItem);
                item.CtlType == ODT_LISTBOX && list != nullptr) {
                list->Draw(item, Dpi());
                return TRUE;
            }
            break;
        }
        case kWmListPress:
            tip_.Hide();
            menus_.OnPress(hwnd(), List(LOWORD(wParam)), KindOf(LOWORD(wParam)),
                           HIWORD(wParam) != 0, lParam, Dpi());
            return 0;
        case kWmListMenuKey:
            tip_.Hide();
            menus_.OnMenuKey(hwnd(), List(static_cast<int>(wParam)),
                             KindOf(static_cast<int>(wParam)), Dpi());
            return 0;
        case kWmListGlance:
            if (wParam == id::kTessels) {
                tip_.Glance(Control(id::kTessels), static_cast<int>(lParam));
            }
            return 0;
        case kWmCheckToggled:
            OnCheckToggled(static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        case WM_SETCURSOR:
            if (links_.OnSetCursor(hwnd(), reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace qv::settings::win32
