#include "tray/tray_program.h"

#include <utility>

#include "config/names.h"
#include "config/paths.h"
#include "config/system_saver_settings.h"
#include "launch/launch.h"
#include "platform/messages.h"
#include "tray/names.h"

namespace qv::tray {

namespace {

namespace value = config::value;

// The key is the same as SCRNSAVE.EXE: keys of ini files are matched without case.
constexpr std::string_view kLaunchKey = "scrnsave.exe";
constexpr std::string_view kStateFallback = "none";

}  // namespace

// ---- TrayUtilities -------------------------------------------------------------------

TrayUtilities::TrayUtilities(const platform::Platform& platform)
    : platform_(platform),
      store_(platform.registry, [this] { ShowManagerError(0, text::WriteFailed); }) {}

std::string TrayUtilities::ReadUserValue(std::string_view name) const {
    return store_.ReadUserValue(name);
}

std::string TrayUtilities::ReadMachineValue(std::string_view name) const {
    return store_.ReadMachineValue(name);
}

void TrayUtilities::WriteUserValue(std::string_view name, std::string_view text) const {
    store_.WriteUserValue(name, text);
}

void TrayUtilities::ShowManagerError(platform::WindowId owner, std::string_view text) const {
    platform::MessageBoxRequest box;
    box.owner = owner;
    box.text = std::string(text);
    box.caption = std::string(text::ErrorCaption);
    (void)platform_.dialogs.Show(box);
}

std::optional<std::string> TrayUtilities::SaverHostShortPath() const {
    return config::ShortPathWithin512(platform_.files, ReadMachineValue(value::InstallLocation));
}

bool TrayUtilities::SomethingSelected() const {
    return !ReadUserValue(value::Saver).empty() || !ReadUserValue(value::Tessel).empty();
}

bool TrayUtilities::IsManagerActive() const {
    const auto saverHost = SaverHostShortPath();
    if (!saverHost) {
        return false;
    }
    const config::SystemSaverSettings system(platform_);
    return *saverHost == system.SystemScreenSaver(kStateFallback, kStateBufferChars);
}

IconState TrayUtilities::StateIcon() const {
    return IsManagerActive() ? IconState::Active : IconState::Inactive;
}

std::string TrayUtilities::StateTip() const {
    return std::string(IsManagerActive() ? text::TipActive : text::TipInactive);
}

void TrayUtilities::SetSystemSaver(bool enable, platform::WindowId owner) const {
    std::string saverHost;
    if (enable && SomethingSelected()) {
        saverHost = SaverHostShortPath().value_or("");
    }
    const config::SettingFailures unstored =
        config::SystemSaverSettings(platform_).SetSystemScreenSaver(saverHost);
    if (!unstored.empty()) {
        ShowManagerError(owner, std::string(text::SystemSaverNotSet) + "\n\n" +
                                    config::DescribeFailures(unstored));
    }
}

void TrayUtilities::LaunchWithSwitch(TrayShell& shell, std::string_view launchSwitch,
                                     const std::string& installLocation) const {
    if (launchSwitch == "/s") {
        const std::string saver =
            config::ReadProfileString(platform_.profile, config::kSystemIni, config::kBootSection,
                                      kLaunchKey, "", kLaunchBufferChars);
        if (saver.empty()) {
            platform::ShowUncaptionedMessage(platform_.dialogs, text::NoScreenSaver);
            return;
        }
        shell.RequestSystemScreenSaver();
        return;
    }
    // The saver host without arguments shows its settings; it is not waited for. Its path
    // is quoted when it holds blanks ("C:\Program Files\..." must not run C:\Program.exe).
    platform::ProcessLaunch launch;
    launch.commandLine = launch::CommandLineFor(installLocation);
    if (!platform_.processes.Start(launch)) {
        platform::ShowUncaptionedMessage(platform_.dialogs, config::text::SaverStartFailed);
    }
}

// ---- Start-up --------------------------------------------------------------------------

Startup RunTrayStartup(const platform::Platform& platform, std::string_view commandLine) {
    const char lastChar = commandLine.empty() ? '\0' : commandLine.back();
    Startup startup;
    // The mutex stays held for the life of the process.
    if (platform.processes.CreateInstanceMutex(shared::kTrayMutex)) {
        startup.outcome = StartupOutcome::AlreadyRunning;
        return startup;
    }
    const TrayUtilities utilities(platform);
    if (lastChar == 'r') {
        utilities.SetSystemSaver(true);
    }
    startup.installLocation = utilities.ReadMachineValue(value::InstallLocation);
    if (startup.installLocation.empty()) {
        startup.outcome = StartupOutcome::NoInstallLocation;
        return startup;
    }
    const std::string trayIconOn = utilities.ReadUserValue(value::TrayIconOn);
    if (trayIconOn != "1" && !trayIconOn.empty()) {
        startup.outcome = StartupOutcome::Disabled;
        return startup;
    }
    return startup;
}

// ---- TrayProgram -----------------------------------------------------------------------

TrayProgram::TrayProgram(const platform::Platform& platform, TrayShell& shell,
                         std::string installLocation)
    : platform_(platform),
      shell_(shell),
      utilities_(platform),
      installLocation_(std::move(installLocation)),
      callbackMessage_(kWmTrayNotify) {}

bool TrayProgram::AddIconAndStartRefresh() {
    if (!shell_.AddIcon(utilities_.StateIcon(), utilities_.StateTip(), callbackMessage_)) {
        return false;
    }
    shell_.StartWorker([this] { RefreshStatus(); });
    return true;
}

bool TrayProgram::OnTrayNotify(unsigned mouseMessage) {
    // Clicks count when the button is released, never on the press.
    if (mouseMessage == kWmLButtonUp) {
        RequestLaunchNow();
        return false;
    }
    if (mouseMessage == kWmRButtonUp) {
        shell_.ShowMenu();
        return true;
    }
    return false;
}

void TrayProgram::OnCommand(unsigned command) {
    switch (command) {
        case kIdmLaunch:
            RequestLaunchNow();
            break;
        case kIdmSettings:
            Settings();
            break;
        case kIdmShutdown:
            Shutdown();
            break;
        case kIdmRestart:
            Restart();
            break;
        default:
            break;
    }
}

void TrayProgram::OnDestroy() {
    shell_.DeleteIcon();
}

void TrayProgram::OnTaskbarCreated() {
    AddIconAgain();
}

void TrayProgram::OnMessageLoopEnd(bool failed) {
    if (failed) {
        shell_.DestroyWindow();
    }
}

void TrayProgram::RefreshIcon() {
    if (iconMissing_ || !shell_.ModifyIcon(utilities_.StateIcon(), utilities_.StateTip())) {
        AddIconAgain();
    }
}

void TrayProgram::SetClicksAccepted(bool accepted) {
    callbackMessage_ = accepted ? kWmTrayNotify : kWmTrayIgnored;
    if (iconMissing_ || !shell_.SetCallbackMessage(callbackMessage_)) {
        AddIconAgain();
    }
}

void TrayProgram::AddIconAgain() {
    const IconState state = utilities_.StateIcon();
    const std::string tip = utilities_.StateTip();
    // An add is refused for an icon the notification area still has (a "TaskbarCreated"
    // of a shell that kept its icons): that icon is brought up to date instead.
    iconMissing_ = !shell_.AddIcon(state, tip, callbackMessage_) &&
                   !(shell_.ModifyIcon(state, tip) && shell_.SetCallbackMessage(callbackMessage_));
}

void TrayProgram::RequestLaunchNow() {
    if (launchPending_.load()) {
        return;
    }
    // The icon's clicks arrive as WM_TRAYIGNORED until the launch is done.
    SetClicksAccepted(false);
    launchPending_.store(true);
    shell_.StartWorker([this] { DelayedLaunch(); });
}

void TrayProgram::DelayedLaunch() {
    platform_.clock.SleepMs(kLaunchDelayMs);
    const bool queued = shell_.PostToWindowThread([this] {
        utilities_.LaunchWithSwitch(shell_, "/s", installLocation_);
        SetClicksAccepted(true);
        launchPending_.store(false);  // the launch is done, on the window's thread
    });
    if (!queued) {
        launchPending_.store(false);
    }
}

void TrayProgram::RefreshStatus(std::optional<int> rounds) {
    for (int round = 0; !rounds || round < *rounds; ++round) {
        platform_.clock.SleepMs(kStatusPeriodMs);
        if (!shell_.PostToWindowThread([this] { RefreshIcon(); })) {
            return;
        }
    }
}

void TrayProgram::Settings() {
    utilities_.LaunchWithSwitch(shell_, "/c", installLocation_);
}

void TrayProgram::Restart() {
    if (utilities_.SomethingSelected()) {
        utilities_.SetSystemSaver(true, shell_.Window());
        RefreshIcon();
        return;
    }
    platform::MessageBoxRequest box;
    box.text = std::string(text::NothingSelected);
    box.caption = std::string(text::RestartCaption);
    (void)platform_.dialogs.Show(box);
    Settings();
}

void TrayProgram::Shutdown() {
    platform::MessageBoxRequest question;
    question.owner = shell_.Window();
    question.text = std::string(text::ShutdownQuestion);
    question.caption = std::string(text::ShutdownCaption);
    question.buttons = platform::Buttons::OkCancel;
    if (platform_.dialogs.Show(question) == platform::Answer::Cancel) {
        return;
    }
    utilities_.WriteUserValue(config::value::TrayIconOn, "0");
    utilities_.SetSystemSaver(false, shell_.Window());
    shell_.DestroyWindow();
}

}  // namespace qv::tray
