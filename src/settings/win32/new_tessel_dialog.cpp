#include "settings/win32/new_tessel_dialog.h"

#include <commctrl.h>
#include <shlobj.h>

#include <utility>

#include "base/win32/system_library.h"
#include "base/win32/wide.h"
#include "making/standard_picture_reader.h"
#include "platform/messages.h"
#include "settings/win32/new_tessel_layout.h"
#include "ui/win32/system_controls.h"
#include "ui/win32/window_thread.h"

namespace qv::settings::win32 {

namespace {

namespace nt = new_tessel;
using ui::win32::ChoiceList;
using ui::win32::ProgressBar;
using ui::win32::SystemControl;

constexpr ui::win32::DialogTable kNewTesselTable{
    {kNewTesselClass, "New Tessel", WS_POPUP | WS_CAPTION | WS_SYSMENU,
     WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, nt::kClientWidth, nt::kClientHeight, nullptr,
     ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS},
    {L"Arial", 96, 14, 12, 14},
    nt::kControls};

BOOL CALLBACK NoteMonitor(HMONITOR, HDC, LPRECT rect, LPARAM largest) {
    auto& box = *reinterpret_cast<making::FitBox*>(largest);
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    if (static_cast<long long>(width) * height > static_cast<long long>(box.width) * box.height) {
        box = {width, height};
    }
    return TRUE;
}

making::FitBox LargestMonitor() {
    making::FitBox largest{0, 0};
    (void)::EnumDisplayMonitors(nullptr, nullptr, NoteMonitor, reinterpret_cast<LPARAM>(&largest));
    if (largest.width == 0) {
        largest = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    return largest;
}

// The system's folder picker. The shell is loaded when it is first asked for: the saver host
// imports only what every start uses.
std::optional<std::wstring> PickFolder(HWND owner) {
    static const winbase::SystemLibrary& shell = *new winbase::SystemLibrary(L"shell32.dll");
    const auto browse = shell.Find<decltype(&::SHBrowseForFolderW)>("SHBrowseForFolderW");
    const auto pathOf = shell.Find<decltype(&::SHGetPathFromIDListW)>("SHGetPathFromIDListW");
    const auto free = shell.Find<decltype(&::ILFree)>("ILFree");
    if (browse == nullptr || pathOf == nullptr || free == nullptr) {
        return std::nullopt;
    }
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = L"Choose the folder of pictures for the new Tessel.";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = browse(&info);
    if (chosen == nullptr) {
        return std::nullopt;
    }
    std::wstring path(MAX_PATH, L'\0');
    const bool got = pathOf(chosen, path.data()) != FALSE;
    free(chosen);
    if (!got) {
        return std::nullopt;
    }
    path.resize(path.find(L'\0'));
    return path;
}

}  // namespace

NewTesselDialog::NewTesselDialog(HINSTANCE instance, const platform::Platform& platform,
                                 const config::TesselFolders& folders)
    : DialogWindow(instance, kNewTesselTable),
      platform_(platform),
      folders_(folders),
      boxes_(std::make_shared<ui::win32::WindowDialogs>(platform.dialogs, *this)),
      cancel_(std::make_shared<std::atomic<bool>>(false)) {}

NewTesselDialog::~NewTesselDialog() {
    cancel_->store(true);  // a making still running stops after its picture, leaving no file
    Destroy();
}

const ui::win32::DialogTable& NewTesselDialog::Layout() {
    return kNewTesselTable;
}

int NewTesselDialog::DefaultButton() const {
    return nt::id::kCreate;
}

HWND NewTesselDialog::InitialFocus() const {
    return Control(nt::id::kFolder);
}

bool NewTesselDialog::OnControlsCreated() {
    const ChoiceList sizes(Control(nt::id::kSize));
    for (const std::string_view item : nt::kSizeItems) {
        sizes.Add(item);
    }
    sizes.Select(static_cast<int>(SizeChoice::LargestMonitor));
    return true;
}

void NewTesselDialog::OnCommand(int control, int code) {
    if (code != BN_CLICKED) {
        return;
    }
    if (control == nt::id::kCreate) {
        CreateClick();
    } else if (control == nt::id::kBrowse) {
        BrowseClick();
    }
}

void NewTesselDialog::OnCancel() {
    if (!::IsWindowEnabled(Control(nt::id::kCreate))) {
        cancel_->store(true);  // the making ends, and tells OnEnded
        return;
    }
    EndModal(IDCANCEL);
}

void NewTesselDialog::BrowseClick() {
    if (const auto folder = PickFolder(hwnd())) {
        ::SetWindowTextW(Control(nt::id::kFolder), folder->c_str());
    }
}

void NewTesselDialog::SetMaking(bool making) {
    for (const auto& row : nt::kControls) {
        if (row.id != nt::id::kCancel && row.id != nt::id::kProgress) {
            SystemControl(Control(row.id)).Enable(!making);
        }
    }
    SystemControl(Control(nt::id::kBrowse)).Enable(!making);
    if (!making) {
        ProgressBar(Control(nt::id::kProgress)).SetPosition(0);
    }
}

void NewTesselDialog::Say(const std::string& text) {
    platform::ShowHostMessage(*boxes_, text);
}

void NewTesselDialog::CreateClick() {
    NewTesselForm form;
    form.folder = SystemControl(Control(nt::id::kFolder)).Text();
    form.name = SystemControl(Control(nt::id::kName)).Text();
    form.size = static_cast<SizeChoice>(ChoiceList(Control(nt::id::kSize)).Selection().value_or(0));
    for (int k = 0; k < 8; ++k) {
        form.links[static_cast<std::size_t>(k)] =
            SystemControl(Control(nt::id::kLink + 2 * k)).Text();
    }
    NewTesselPlan plan = PlanNewTessel(platform_.files, folders_, form, LargestMonitor());
    if (!plan.refusal.empty()) {
        Say(plan.refusal);
        return;
    }
    cancel_->store(false);
    SetMaking(true);
    // The pictures are listed and made on the worker; it reaches the dialog only through
    // its gate, and ends when a step is refused or the user cancels.
    ui::win32::StartDetachedWorker([this, gate = Gate(), cancel = cancel_, plan = std::move(plan)] {
        const auto reader = making::StandardPictureReader();
        making::MakeRequest request = plan.request;
        request.pictures = making::PicturesInFolder(plan.folder, *reader);
        making::MakeResult result;
        if (request.pictures.empty()) {
            result.status = making::MakeStatus::NoReadablePicture;
        } else {
            result = making::MakeTessel(request, *reader, [&](std::size_t done, std::size_t total) {
                return !cancel->load() &&
                       gate->Post([this, done, total] { OnProgress(done, total); });
            });
        }
        (void)gate->Post([this, plan, result] { OnEnded(plan, result); });
    });
}

void NewTesselDialog::OnProgress(std::size_t done, std::size_t total) {
    const ProgressBar bar(Control(nt::id::kProgress));
    bar.SetRange(static_cast<int>(total));
    bar.SetPosition(static_cast<int>(done));
}

void NewTesselDialog::OnEnded(const NewTesselPlan& plan, const making::MakeResult& result) {
    SetMaking(false);
    if (const std::string text = MakeOutcomeText(plan, result); !text.empty()) {
        Say(text);
    }
    if (result.status == making::MakeStatus::Made) {
        made_ = plan.title;
        EndModal(IDOK);
    }
}

std::optional<std::string> RunNewTessel(HINSTANCE instance, HWND owner,
                                        const platform::Platform& platform,
                                        const config::TesselFolders& folders) {
    NewTesselDialog dialog(instance, platform, folders);
    const int ended = dialog.ShowModal(owner);
    if (ended == ui::win32::kModalNotShown) {
        platform::ShowHostMessage(platform.dialogs,
                                  "Quorvanes could not open the New Tessel dialog.");
    }
    return ended == IDOK ? std::optional<std::string>(dialog.Made()) : std::nullopt;
}

}  // namespace qv::settings::win32
