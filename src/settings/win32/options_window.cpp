#include "settings/win32/options_window.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include <windowsx.h>

#include "config/messages.h"
#include "imaging/jpeg_decoder.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "saver/password.h"
#include "settings/win32/controls.h"
#include "settings/win32/help_dialog.h"
#include "settings/win32/options_layout.h"
#include "ui/win32/common_controls.h"
#include "ui/win32/dpi.h"
#include "ui/win32/message_loop.h"

namespace qv::settings::win32 {

namespace {

using platform::win32::UniqueGdiObject;
using platform::win32::Widen;
using ui::win32::DpiForWindow;
using ui::win32::Scaled;

constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr int kDropDownRows = 8;
constexpr std::int32_t kBannerProgramId = 502;  // how the advertising library knows this dialog
constexpr UINT kWmDpiChanged = 0x02E0;  // WM_DPICHANGED, for systems whose headers are older

UniqueGdiObject MakeFont(int pixels, bool bold, UINT dpi) {
    const std::wstring face = Widen(kFontFace);
    return UniqueGdiObject(::CreateFontW(-Scaled(pixels, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL,
                                         FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, face.c_str()));
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

struct ControlStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlStyle StyleOf(const ControlLayout& control) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
        case ControlKind::Image:
            return {kPictureClass, kChild, 0};
        case ControlKind::Label: {
            DWORD align = SS_LEFTNOWORDWRAP;
            if ((control.look & look::kCentred) != 0) {
                align = SS_CENTER;
            } else if ((control.look & look::kWordWrap) != 0) {
                align = SS_LEFT;
            }
            return {WC_STATICW, kChild | SS_NOPREFIX | align, 0};
        }
        case ControlKind::GroupBox:
            return {WC_BUTTONW, kChild | BS_GROUPBOX, 0};
        case ControlKind::CheckList:
            return {kCheckListClass,
                    kChild | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
        case ControlKind::ComboBox:
            return {WC_COMBOBOXW, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::Panel:
            return {kPanelClass, kChild, 0};
        case ControlKind::CheckBox:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case ControlKind::Button:
            return {WC_BUTTONW,
                    kChild | WS_TABSTOP |
                        ((control.look & look::kDefault) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                    0};
        case ControlKind::SpinEdit:
            return {WC_EDITW, kChild | WS_TABSTOP | ES_NUMBER | ES_LEFT, WS_EX_CLIENTEDGE};
        case ControlKind::Banner:  // made by AdImage itself
            return {adbanner::win32::kAdImageClass, kChild, 0};
    }
    return {WC_STATICW, kChild, 0};
}

// A launch's failure is shown on the window's thread; once the window is gone, nobody is.
class GatedDialogs final : public platform::Dialogs {
  public:
    GatedDialogs(platform::Dialogs& inner, std::shared_ptr<ui::win32::WindowThreadGate> gate)
        : inner_(inner), gate_(std::move(gate)) {}
    platform::Answer Show(const platform::MessageBoxRequest& request) override {
        platform::Answer answer = platform::Answer::Cancel;
        (void)gate_->Run([&] { answer = inner_.Show(request); });
        return answer;
    }

  private:
    platform::Dialogs& inner_;
    std::shared_ptr<ui::win32::WindowThreadGate> gate_;
};

// What a delayed launch's thread owns: adapters of its own (it may outlive the window), and
// its boxes through the window's gate.
struct LaunchWorker {
    explicit LaunchWorker(std::shared_ptr<ui::win32::WindowThreadGate> gate)
        : dialogs(system.platform().dialogs, std::move(gate)),
          platform{system.platform().registry,
                   system.platform().profile,
                   system.platform().files,
                   system.platform().processes,
                   system.platform().desktop,
                   system.platform().system,
                   dialogs,
                   system.platform().libraries,
                   system.platform().clock} {}
    platform::win32::Win32Platform system;
    GatedDialogs dialogs;
    platform::Platform platform;
};

constexpr int kLaunchesEndWaitMs = 5000;

platform::win32::UniqueHmenu BuildMenu(const auto& items) {
    platform::win32::UniqueHmenu menu(::CreatePopupMenu());
    for (const MenuItemLayout& item : items) {
        const std::wstring text = Widen(item.text);
        ::AppendMenuW(menu.get(), item.id == 0 ? MF_SEPARATOR : MF_STRING,
                      static_cast<UINT_PTR>(item.id), item.id == 0 ? nullptr : text.c_str());
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
    : instance_(instance), platform_(platform), banner_(platform.dialogs) {}

OptionsWindow::~OptionsWindow() {
    Destroy();
}

int OptionsWindow::Run() {
    start_ = FormCreate(platform_);
    if (!CreateWindowAndControls()) {
        return 1;
    }
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    ::SetFocus(Control(id::kOk));
    const int exitCode = ui::win32::RunMessageLoop(hwnd());
    for (int waited = 0; launches_->load() > 0 && waited < kLaunchesEndWaitMs; waited += 50) {
        ::Sleep(50);
    }
    return exitCode;
}

bool OptionsWindow::CreateWindowAndControls() {
    (void)ui::win32::UseCommonControls(ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES);
    RegisterControlClasses(instance_);
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
    ui::win32::CentreOver(hwnd(), nullptr);
    gate_ = std::make_shared<ui::win32::WindowThreadGate>(hwnd());
    CreateMenus();
    CreateControls();
    CreateFonts();
    LayOut();
    FillControls();
    LoadPictures();
    return true;
}

void OptionsWindow::CreateControls() {
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                 nullptr, instance_, nullptr);
    for (const ControlLayout& control : kControls) {
        if (control.kind == ControlKind::Banner) {
            adbanner::win32::AdImageProperties banner;
            banner.programId = kBannerProgramId;
            banner_.Create(instance_, hwnd(), control.id, banner);
            continue;
        }
        const ControlStyle style = StyleOf(control);
        const std::wstring text = Widen(control.text);
        HWND created = ::CreateWindowExW(
            style.exStyle, style.className, text.c_str(), style.style, 0, 0, 0, 0, hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance_, nullptr);
        if (control.kind == ControlKind::SpinEdit) {
            ::SendMessageW(created, EM_LIMITTEXT, 2, 0);
            HWND arrows = ::CreateWindowExW(
                0, UPDOWN_CLASSW, nullptr,
                WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS |
                    UDS_NOTHOUSANDS,
                0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::kWaitSpin)),
                instance_, nullptr);
            ::SendMessageW(arrows, UDM_SETRANGE32, kWaitMinutesLeast, kWaitMinutesMost);
        }
    }
    AddHint(Control(id::kLogo), kImageHint);
    AddHint(Control(id::kCustomer), kImageHint);
    AddHint(Control(id::kBanner), kBannerHint);
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
        int height = Scaled(place.height, dpi_);
        if (control.kind == ControlKind::ComboBox) {
            height += Scaled(kItemHeight * kDropDownRows, dpi_);  // the list that drops down
        }
        ::MoveWindow(child, Scaled(place.left, dpi_), Scaled(place.top, dpi_),
                     Scaled(place.width, dpi_), height, TRUE);
        HGDIOBJ font = font_.get();
        if ((control.look & look::kBold) != 0) {
            font = boldFont_.get();
        } else if ((control.look & look::kSmall) != 0) {
            font = smallFont_.get();
        }
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
    FillCheckList(Control(id::kSavers), start_.savers.list);
    FillCheckList(Control(id::kTessels), start_.tessels);
    FillCheckList(Control(id::kPreshows), start_.preshows);
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
    SetPicture(Control(id::kLogo), static_cast<HBITMAP>(logo_.get()), true);
    SetPicture(Control(id::kCustomer), static_cast<HBITMAP>(customer_.get()), false);
}

OptionsChoice OptionsWindow::ReadChoice() const {
    OptionsChoice choice;
    choice.tessels = ReadCheckList(Control(id::kTessels));
    choice.savers.list = ReadCheckList(Control(id::kSavers));
    choice.savers.files = start_.savers.files;
    choice.preshows = ReadCheckList(Control(id::kPreshows));
    choice.viewTimeIndex = Selected(Control(id::kViewTime));
    choice.mouseDelayIndex = Selected(Control(id::kMouseDelay));
    choice.passwordOn =
        ::SendMessageW(Control(id::kPasswordCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
    wchar_t wait[16] = {};
    ::GetWindowTextW(Control(id::kWaitTime), wait, 16);
    choice.waitText = platform::win32::Narrow(wait);
    return choice;
}

void OptionsWindow::btnOKClick() {
    try {
        if (ApplySettings(platform_, start_, ReadChoice(), previews_.guard().get()) ==
            OkOutcome::Applied) {
            Destroy();
        }
    } catch (const config::ConfigError& error) {
        // The value that failed is named; the remaining steps were not run.
        config::ShowHostMessage(platform_.dialogs, error.what());
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

// The settings window's links open without a window of their own (SW_HIDE): the browser
// brings its own.
void OptionsWindow::OpenLink(std::string_view address) {
    platform_.desktop.OpenAddress(reinterpret_cast<platform::WindowId>(hwnd()), address, SW_HIDE);
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
    saver::ChangeSaverPassword(platform_, reinterpret_cast<platform::WindowId>(hwnd()));
}

void OptionsWindow::OnListPress(int list, bool rightButton, LPARAM point) {
    HWND control = Control(list);
    const std::optional<int> rowUnder = RowAt(control, point);
    if (list == id::kPreshows) {
        preshowIndex_ = rowUnder;
    }
    const TitleKind kind = KindOf(list);
    const CheckList rows = ReadCheckList(control);
    // The check-box column is measured at 96 DPI.
    const int x = ::MulDiv(GET_X_LPARAM(point), 96, static_cast<int>(dpi_));
    const std::optional<int> row = MenuRowFor(rows, kind, rightButton, x, rowUnder);
    if (!row) {
        return;
    }
    ::SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(*row), 0);
    target_ = kind == TitleKind::Saver ? SaverTarget(platform_.files, start_.savers, *row)
                                       : TitleTarget(kind, rows, *row);
    POINT at{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    ::ClientToScreen(control, &at);
    ::TrackPopupMenu(MenuOf(kind), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
}

void OptionsWindow::OnCheckToggled(int list, int row) {
    if (list != id::kPreshows) {
        return;
    }
    CheckList rows = ReadCheckList(Control(list));
    KeepOnePreshow(rows, row);
    SetChecks(Control(list), rows);
}

void OptionsWindow::Launch(Command command) {
    if (target_.kind == TitleKind::Preshow &&
        ::SendMessageW(Control(id::kPreshows), LB_GETCURSEL, 0, 0) == LB_ERR) {
        return;
    }
    // The launch takes its own copy of the target; a Tessel preview while one runs is refused.
    (void)StartDelayedLaunch(target_, command, previews_.guard(), [&](LaunchBody body) {
        auto worker = std::make_shared<LaunchWorker>(gate_);
        launches_->fetch_add(1);
        ui::win32::StartDetachedWorker([worker, body = std::move(body), running = launches_] {
            body(worker->platform);
            running->fetch_sub(1);
        });
    });
}

void OptionsWindow::DeleteClick() {
    Lists current{{ReadCheckList(Control(id::kSavers)), start_.savers.files},
                  ReadCheckList(Control(id::kTessels)),
                  ReadCheckList(Control(id::kPreshows))};
    try {
        const auto rebuilt = DeleteTitle(platform_, start_, target_, std::move(current));
        if (!rebuilt) {
            return;
        }
        start_.savers = rebuilt->savers;
        FillCheckList(Control(id::kSavers), rebuilt->savers.list);
        FillCheckList(Control(id::kTessels), rebuilt->tessels);
        FillCheckList(Control(id::kPreshows), rebuilt->preshows);
    } catch (const config::ConfigError& error) {
        config::ShowHostMessage(platform_.dialogs, error.what());
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
            Destroy();  // nothing is stored
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
                MeasureCheckRow(item, dpi_);
                return TRUE;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlType == ODT_LISTBOX) {
                DrawCheckRow(item, dpi_);
                return TRUE;
            }
            break;
        }
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case kWmListPress:
            OnListPress(LOWORD(wParam), HIWORD(wParam) != 0, lParam);
            return 0;
        case kWmCheckToggled:
            OnCheckToggled(static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        case ui::win32::WindowThreadGate::kRunStep:
            return gate_ ? gate_->RunPendingStep() : 0;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
                return TRUE;
            }
            break;
        case DM_GETDEFID:
            return MAKELRESULT(id::kOk, DC_HASDEFID);
        case WM_CLOSE:
            Destroy();  // as Cancel
            return 0;
        case kWmDpiChanged: {
            dpi_ = HIWORD(wParam);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            CreateFonts();
            LayOut();
            return 0;
        }
        case WM_DESTROY:
            if (gate_) {
                gate_->Close();
            }
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace qv::settings::win32
