#include "settings/win32/options_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <windowsx.h>

#include "config/messages.h"
#include "desktop/web_address.h"
#include "imaging/jpeg_decoder.h"
#include "password/saver_password.h"
#include "settings/win32/help_dialog.h"
#include "ui/win32/common_controls.h"
#include "ui/win32/font.h"
#include "base/win32/dpi.h"
#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"

namespace qv::settings::win32 {

namespace {

using winbase::DpiForWindow;
using winbase::Scaled;
using winbase::UniqueGdiObject;
using winbase::Widen;

constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr int kDropDownRows = 8;
constexpr std::int32_t kBannerProgramId = 502;  // how the advertising library knows this dialog
constexpr int kLaunchesEndWaitMs = 5000;
constexpr std::string_view kWindowFailed = "Quorvanes could not open its settings window.";

UniqueGdiObject MakeFont(int pixels, bool bold, UINT dpi) {
    const std::wstring face = Widen(kFontFace);
    ui::win32::FontSpec wanted;
    wanted.face = face.c_str();
    wanted.pixels = pixels;
    wanted.bold = bold;
    return ui::win32::MakeFont(wanted, dpi);
}

// A decoded JPEG as a bitmap the picture control can draw; empty when it does not decode.
UniqueGdiObject BitmapOfJpeg(const std::vector<std::uint8_t>& jpeg) {
    imaging::Frame frame;
    const auto status = imaging::DecodeJpeg(jpeg, frame);
    if (status != imaging::DecodeStatus::Ok && status != imaging::DecodeStatus::Truncated) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = frame.height;  // bottom-up, as the frame is
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits != nullptr) {
        std::memcpy(bits, frame.pixels.data(), frame.pixels.size());
    }
    return bitmap;
}

// The height of a control's text in `font`, wrapped to `width` as a static control wraps it.
int TextHeight(HWND control, HGDIOBJ font, int width) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    const winbase::WindowDc dc(control);
    const winbase::ScopedSelect useFont(dc.get(), font);
    RECT box{0, 0, width, 0};
    ::DrawTextW(dc.get(), text.c_str(), length, &box,
                DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
    return box.bottom - box.top;
}

// The text of the table's control `id` (a group box's caption).
std::string_view CaptionOf(int id) {
    for (const ControlLayout& control : kControls) {
        if (control.id == id) {
            return control.text;
        }
    }
    return {};
}

// Empty when the menu or one of its items could not be made.
winbase::UniqueHmenu BuildMenu(const auto& items) {
    winbase::UniqueHmenu menu(::CreatePopupMenu());
    for (const MenuItemLayout& item : items) {
        const std::wstring text = Widen(item.text);
        if (!menu ||
            !::AppendMenuW(menu.get(), item.id == 0 ? MF_SEPARATOR : MF_STRING,
                           static_cast<UINT_PTR>(item.id), item.id == 0 ? nullptr : text.c_str())) {
            return {};
        }
    }
    return menu;
}

TitleKind KindOf(int list) {
    if (list == id::kSavers) {
        return TitleKind::Saver;
    }
    return list == id::kTessels ? TitleKind::Tessel : TitleKind::Preshow;
}

std::optional<int> Selected(HWND combo) {
    const LRESULT at = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? std::nullopt : std::optional<int>(static_cast<int>(at));
}

void FillCombo(HWND combo, int first, int count, std::optional<int> selected) {
    for (int k = 0; k < count; ++k) {
        const std::wstring item = std::to_wstring(first + k);
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected.value_or(-1)), 0);
}

}  // namespace

OptionsWindow::OptionsWindow(HINSTANCE instance, const platform::Platform& platform)
    : instance_(instance),
      platform_(platform),
      dialogs_(std::make_shared<ui::win32::WindowDialogs>(platform.dialogs, *this)),
      banner_(*dialogs_) {}

OptionsWindow::~OptionsWindow() {
    Destroy();
}

int OptionsWindow::Run() {
    start_ = FormCreate(platform_);
    return ShowModal(nullptr);
}

void OptionsWindow::WaitForLaunches() {
    (void)launches_.WaitUntilDone(kLaunchesEndWaitMs);
}

platform::Platform OptionsWindow::Owned() const {
    return platform::WithDialogs(platform_, *dialogs_);
}

int RunSettingsDialog(HINSTANCE instance, const platform::Platform& platform) {
    OptionsWindow window(instance, platform);
    const int shown = window.Run();
    window.WaitForLaunches();
    if (shown == ui::win32::kModalNotShown) {
        config::ShowHostMessage(platform.dialogs, kWindowFailed);
        return 1;
    }
    return 0;
}

bool OptionsWindow::CreateModal(HWND) {
    // Without the common controls there are no spin arrows nor hints: the dialog still works.
    (void)ui::win32::UseCommonControls(ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES);
    const std::wstring caption = Widen(kCaption);
    ui::win32::WindowClass windowClass;
    windowClass.name = kOptionsWindowClass;
    windowClass.instance = instance_;
    windowClass.icon = ::LoadIconW(instance_, L"MAINICON");
    windowClass.background = ::GetSysColorBrush(COLOR_BTNFACE);
    ui::win32::WindowPlacement placement;
    placement.exStyle = kWindowExStyle;
    placement.title = caption.c_str();
    placement.style = kWindowStyle;
    if (!Create(windowClass, placement)) {
        return false;
    }
    dpi_ = DpiForWindow(hwnd());
    RECT frame{0, 0, Scaled(kClientWidth, dpi_), Scaled(kClientHeight, dpi_)};
    ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateMenus();
    if (!saverMenu_ || !tesselMenu_ || !preshowMenu_ || !CreateControls()) {
        return false;
    }
    CreateFonts();
    LayOut();
    FillControls();
    LoadPictures();
    return true;
}

CheckListControl& OptionsWindow::List(int list) {
    if (list == id::kSavers) {
        return savers_;
    }
    return list == id::kTessels ? tessels_ : preshows_;
}

bool OptionsWindow::CreateControl(const ControlLayout& control) {
    const ControlStyle style = StyleOf(control);
    const ControlPlacement placement{instance_, hwnd(), control.id, style.style, style.exStyle};
    switch (control.kind) {
        case ControlKind::Banner: {
            adbanner::win32::AdImageProperties banner;
            banner.programId = kBannerProgramId;
            return banner_.Create(instance_, hwnd(), control.id, banner);
        }
        case ControlKind::Image:
            return (control.id == id::kLogo ? logoPicture_ : customerPicture_).Create(placement);
        case ControlKind::Panel:
            return panel_.Create(placement);
        case ControlKind::CheckList:
            // A screen reader names the list by the caption of the group it lies in.
            List(control.id).SetAccessibleName(Widen(CaptionOf(control.parent)));
            return List(control.id).Create(placement);
        default:
            break;
    }
    const std::wstring text = Widen(control.text);
    HWND created =
        ::CreateWindowExW(style.exStyle, style.className, text.c_str(), style.style, 0, 0, 0, 0,
                          hwnd(), ui::win32::ChildId(control.id), instance_, nullptr);
    if (created == nullptr) {
        return false;
    }
    if (control.kind == ControlKind::GroupBox) {
        ui::win32::DrawWithoutVisualStyle(created);  // its caption in the system's colours
    }
    if (control.kind == ControlKind::SpinEdit) {
        ::SendMessageW(created, EM_LIMITTEXT, 2, 0);
        // Without the common controls the field takes typed minutes alone.
        HWND arrows = ::CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                                        WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT |
                                            UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                        0, 0, 0, 0, hwnd(), ui::win32::ChildId(id::kWaitSpin),
                                        instance_, nullptr);
        ::SendMessageW(arrows, UDM_SETRANGE32, kWaitMinutesLeast, kWaitMinutesMost);
    }
    return true;
}

bool OptionsWindow::CreateControls() {
    // Without hints the dialog still works: a missing tooltip window only loses them.
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                 nullptr, instance_, nullptr);
    for (const ControlLayout& control : kControls) {
        if (!CreateControl(control)) {
            return false;
        }
    }
    AddHint(Control(id::kLogo), kImageHint);
    AddHint(Control(id::kCustomer), kImageHint);
    AddHint(Control(id::kBanner), kBannerHint);
    // A screen reader names a picture by its window's text: the hint says what it does.
    for (const auto& [picture, name] :
         {std::pair{id::kLogo, kImageHint}, std::pair{id::kCustomer, kImageHint},
          std::pair{id::kBanner, kBannerHint}}) {
        ::SetWindowTextW(Control(picture), Widen(name).c_str());
    }
    return true;
}

void OptionsWindow::CreateMenus() {
    saverMenu_ = BuildMenu(kSaverMenu);
    tesselMenu_ = BuildMenu(kTesselMenu);
    preshowMenu_ = BuildMenu(kPreshowMenu);
}

HMENU OptionsWindow::MenuOf(TitleKind kind) const {
    switch (kind) {
        case TitleKind::Saver:
            return saverMenu_.get();
        case TitleKind::Tessel:
            return tesselMenu_.get();
        case TitleKind::Preshow:
            return preshowMenu_.get();
    }
    return nullptr;
}

void OptionsWindow::AddHint(HWND control, std::string_view text) {
    if (tooltip_ == nullptr || control == nullptr) {
        return;
    }
    std::wstring wide = Widen(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void OptionsWindow::CreateFonts() {
    font_ = MakeFont(kFontHeight, false, dpi_);
    boldFont_ = MakeFont(kFontHeight, true, dpi_);
    smallFont_ = MakeFont(kSmallFontHeight, false, dpi_);
}

void OptionsWindow::LayOut() {
    for (const ControlLayout& control : kControls) {
        const Place place = WindowPlace(control);
        HWND child = Control(control.id);
        HGDIOBJ font = font_.get();
        if ((control.look & look::kBold) != 0) {
            font = boldFont_.get();
        } else if ((control.look & look::kSmall) != 0) {
            font = smallFont_.get();
        }
        int top = Scaled(place.top, dpi_);
        int height = Scaled(place.height, dpi_);
        if (control.kind == ControlKind::ComboBox) {
            height += Scaled(kItemHeight * kDropDownRows, dpi_);  // the list that drops down
        }
        if ((control.look & look::kMiddle) != 0) {
            // A static control draws its lines from its top: it takes the text's height, in
            // the middle of its place.
            const int text = TextHeight(child, font, Scaled(place.width, dpi_));
            top += MiddleTop(height, text);
            height = std::min(height, text);
        }
        ::MoveWindow(child, Scaled(place.left, dpi_), top, Scaled(place.width, dpi_), height, TRUE);
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    // The arrows take their place inside the edit's rectangle, at its right.
    ::SendMessageW(Control(id::kWaitSpin), UDM_SETBUDDY,
                   reinterpret_cast<WPARAM>(Control(id::kWaitTime)), 0);
    for (const int list : {id::kSavers, id::kTessels, id::kPreshows}) {
        ::SendMessageW(Control(list), LB_SETITEMHEIGHT, 0, Scaled(kItemHeight, dpi_));
    }
}

void OptionsWindow::FillControls() {
    savers_.Fill(start_.savers.list);
    tessels_.Fill(start_.tessels);
    preshows_.Fill(start_.preshows);
    FillCombo(Control(id::kViewTime), 5, kViewTimeItems, start_.viewTimeIndex);
    FillCombo(Control(id::kMouseDelay), 3, kMouseDelayItems, start_.mouseDelayIndex);
    ::SendMessageW(Control(id::kWaitSpin), UDM_SETPOS32, 0, start_.waitMinutes);
    ::SendMessageW(Control(id::kPasswordCheck), BM_SETCHECK,
                   start_.passwordOn ? BST_CHECKED : BST_UNCHECKED, 0);
    ::EnableWindow(Control(id::kPasswordButton), start_.passwordOn ? TRUE : FALSE);
    if (start_.isNT) {
        ::ShowWindow(Control(id::kPasswordButton), SW_HIDE);
    }
}

void OptionsWindow::LoadPictures() {
    logo_ = start_.productPicture ? BitmapOfJpeg(*start_.productPicture) : UniqueGdiObject();
    if (!logo_) {
        logo_.reset(::LoadImageW(instance_, L"LOGO", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    customer_ = start_.customerPicture ? BitmapOfJpeg(*start_.customerPicture) : UniqueGdiObject();
    if (!customer_) {
        customer_.reset(
            ::LoadImageW(instance_, L"CUSTOMER", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    logoPicture_.SetPicture(static_cast<HBITMAP>(logo_.get()), true);
    customerPicture_.SetPicture(static_cast<HBITMAP>(customer_.get()), false);
}

OptionsChoice OptionsWindow::ReadChoice() {
    OptionsChoice choice;
    choice.tessels = tessels_.Read();
    choice.savers.list = savers_.Read();
    choice.savers.files = start_.savers.files;
    choice.preshows = preshows_.Read();
    choice.viewTimeIndex = Selected(Control(id::kViewTime));
    choice.mouseDelayIndex = Selected(Control(id::kMouseDelay));
    choice.passwordOn =
        ::SendMessageW(Control(id::kPasswordCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
    wchar_t wait[16] = {};
    ::GetWindowTextW(Control(id::kWaitTime), wait, 16);
    choice.waitText = winbase::Narrow(wait);
    return choice;
}

void OptionsWindow::btnOKClick() {
    try {
        if (ApplySettings(Owned(), start_, ReadChoice(), previews_.guard().get()) ==
            OkOutcome::Applied) {
            EndModal(IDOK);
        }
    } catch (const config::ConfigError& error) {
        // The value that failed is named; the remaining steps were not run.
        config::ShowHostMessage(*dialogs_, error.what());
    }
}

void OptionsWindow::chkPasswordClick() {
    const bool on = ::SendMessageW(Control(id::kPasswordCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
    ::EnableWindow(Control(id::kPasswordButton), on ? TRUE : FALSE);
}

void OptionsWindow::btnHelpClick() {
    HelpDialog help(instance_, platform_.desktop);
    (void)help.ShowModal(hwnd());
}

// The settings window's links open without a window of their own: the browser brings its
// own. The customer's link comes from a library anyone can put in the Tessels folder: like
// every address, it opens only when it is a web address.
void OptionsWindow::OpenLink(std::string_view address) {
    (void)desktop::OpenWebAddress(platform_.desktop, reinterpret_cast<platform::WindowId>(hwnd()),
                                  address, platform::ShowCommand::Hide);
}

// The hand over the links and the banner stays, as an application-wide cursor does, until
// the pointer crosses the window's own surface.
bool OptionsWindow::OnSetCursor(HWND under, int hitTest) {
    if (hitTest != HTCLIENT) {
        return false;
    }
    const int control = ::GetDlgCtrlID(under);
    if (under == hwnd()) {
        handCursor_ = false;
    } else if (control == id::kLogo || control == id::kCustomer || control == id::kBanner ||
               control == id::kEmailList) {
        handCursor_ = true;
    }
    ::SetCursor(::LoadCursorW(nullptr, handCursor_ ? IDC_HAND : IDC_ARROW));
    return true;
}

void OptionsWindow::btnPasswordClick() {
    password::ChangeSaverPassword(Owned(), reinterpret_cast<platform::WindowId>(hwnd()));
}

void OptionsWindow::OnListPress(int list, bool rightButton, LPARAM point) {
    CheckListControl& control = List(list);
    const std::optional<int> rowUnder = control.RowAt(point);
    if (list == id::kPreshows) {
        preshowIndex_ = rowUnder;
    }
    const TitleKind kind = KindOf(list);
    const CheckList rows = control.Read();
    // The check-box column is measured at 96 DPI.
    const int x = ::MulDiv(GET_X_LPARAM(point), 96, static_cast<int>(dpi_));
    const std::optional<int> row = MenuRowFor(rows, kind, rightButton, x, rowUnder);
    if (row) {
        OpenRowMenu(list, rows, *row, {GET_X_LPARAM(point), GET_Y_LPARAM(point)});
    }
}

// The Apps key or Shift+F10 on a list: the current row's menu, at that row.
void OptionsWindow::OnListMenuKey(int list) {
    CheckListControl& control = List(list);
    const LRESULT current = ::SendMessageW(control.hwnd(), LB_GETCURSEL, 0, 0);
    if (current == LB_ERR) {
        return;
    }
    const int row = static_cast<int>(current);
    if (list == id::kPreshows) {
        preshowIndex_ = row;
    }
    const CheckList rows = control.Read();
    // As a right press on the row's text would.
    const int x = kCheckColumnPixels + 1;
    if (!MenuRowFor(rows, KindOf(list), true, x, row)) {
        return;
    }
    RECT item{};
    ::SendMessageW(control.hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    OpenRowMenu(list, rows, row, {item.left + Scaled(x, dpi_), item.bottom});
}

void OptionsWindow::OpenRowMenu(int list, const CheckList& rows, int row, POINT inList) {
    CheckListControl& control = List(list);
    const TitleKind kind = KindOf(list);
    ::SendMessageW(control.hwnd(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    target_ = kind == TitleKind::Saver ? SaverTarget(platform_.files, start_.savers, row)
                                       : TitleTarget(kind, rows, row);
    ::ClientToScreen(control.hwnd(), &inList);
    ::TrackPopupMenu(MenuOf(kind), TPM_LEFTALIGN | TPM_RIGHTBUTTON, inList.x, inList.y, 0, hwnd(),
                     nullptr);
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
    if (target_.kind == TitleKind::Preshow &&
        ::SendMessageW(Control(id::kPreshows), LB_GETCURSEL, 0, 0) == LB_ERR) {
        return;
    }
    // The launch takes its own copy of the target (a second command cannot change it), and a
    // Tessel preview while one runs is refused. The thread shares the window's boxes; the
    // rest of the platform lives as long as the process.
    (void)StartDelayedLaunch(target_, command, previews_.guard(), [&](LaunchBody body) {
        launches_.Start([system = platform_, dialogs = dialogs_, body = std::move(body)] {
            body(platform::WithDialogs(system, *dialogs));
        });
    });
}

void OptionsWindow::DeleteClick() {
    Lists current{{savers_.Read(), start_.savers.files}, tessels_.Read(), preshows_.Read()};
    try {
        const auto rebuilt = DeleteTitle(Owned(), start_, target_, std::move(current));
        if (!rebuilt) {
            return;
        }
        start_.savers = rebuilt->savers;
        savers_.Fill(rebuilt->savers.list);
        tessels_.Fill(rebuilt->tessels);
        preshows_.Fill(rebuilt->preshows);
    } catch (const config::ConfigError& error) {
        config::ShowHostMessage(*dialogs_, error.what());
    }
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
        case id::kLogo:
            OpenLink(kProductSite);
            break;
        case id::kCustomer:
            OpenLink(start_.customerLink);
            break;
        case id::kEmailList:
            OpenLink(kEmailListPage);
            break;
        case id::kOk:
            btnOKClick();
            break;
        case id::kCancel:
            EndModal(IDCANCEL);  // nothing is stored
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
                CheckListControl::Measure(item, dpi_);
                return TRUE;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (const auto* list = Window::ObjectOf<CheckListControl>(item.hwndItem);
                item.CtlType == ODT_LISTBOX && list != nullptr) {
                list->Draw(item, dpi_);
                return TRUE;
            }
            break;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                break;  // Escape, as Cancel
            }
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case kWmListPress:
            OnListPress(LOWORD(wParam), HIWORD(wParam) != 0, lParam);
            return 0;
        case kWmListMenuKey:
            OnListMenuKey(static_cast<int>(wParam));
            return 0;
        case kWmCheckToggled:
            OnCheckToggled(static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
                return TRUE;
            }
            break;
        default:
            break;
    }
    return ModalWindow::HandleMessage(message, wParam, lParam);
}

void OptionsWindow::OnDpiChanged(UINT dpi) {
    dpi_ = dpi;
    CreateFonts();
    LayOut();
}

}  // namespace qv::settings::win32
