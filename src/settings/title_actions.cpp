#include "settings/title_actions.h"

#include "common/text.h"
#include "config/config_store.h"
#include "config/entries.h"
#include "config/names.h"
#include "config/paths.h"
#include "config/tessel_folders.h"
#include "config/title_list.h"
#include "launch/launch.h"
#include "platform/messages.h"

namespace qv::settings {

namespace {

namespace value = config::value;

std::string_view PlaceholderOf(TitleKind kind) {
    switch (kind) {
        case TitleKind::Saver:
            return text::NoSavers;
        case TitleKind::Tessel:
            return text::NoTessels;
        case TitleKind::Preshow:
            return text::NoPreshows;
    }
    return {};
}

// A name from a directory listing never holds a folder; one that does is not deleted.
bool IsPlainName(std::string_view name) {
    return !name.empty() && name.find_first_of("\\/:") == std::string_view::npos && name != "." &&
           name != "..";
}

// LaunchScreenSaver: the short path (the long one when there is none), a space and the
// switch, at high priority in a console of its own, not waited for. Shows nothing: the
// caller reports a failure (nullptr).
std::unique_ptr<platform::RunningProcess> StartScreenSaverProcess(
    const platform::Platform& platform, const DelayedLaunch& launch) {
    std::string path = launch.target.item;
    if (launch.launchSwitch == "zz") {
        path = config::ConfigStore(platform.registry, nullptr)
                   .ReadMachineValue(value::InstallLocation);
    }
    const std::string program = config::ShortPathWithin512(platform.files, path).value_or(path);
    if (program.empty()) {
        return nullptr;
    }
    platform::ProcessLaunch start;
    start.commandLine = launch::CommandLineFor(program) + " " + launch.launchSwitch;
    start.priority = platform::Priority::High;
    start.newConsole = true;
    start.showCommand = platform::ShowCommand::Show;
    return platform.processes.Start(start);
}

void LaunchScreenSaver(const platform::Platform& platform, const DelayedLaunch& launch) {
    if (!StartScreenSaverProcess(platform, launch)) {
        platform::ShowHostMessage(platform.dialogs, config::text::SaverStartFailed);
    }
}

}  // namespace

std::optional<int> MenuRowFor(const CheckList& list, TitleKind kind, bool rightButton, int x,
                              std::optional<int> rowUnder) {
    if (!rightButton || x <= kCheckColumnPixels || !rowUnder || *rowUnder < 0 ||
        *rowUnder >= static_cast<int>(list.rows.size()) || list.ShowsOnly(PlaceholderOf(kind))) {
        return std::nullopt;
    }
    return rowUnder;
}

void KeepOnePreshow(CheckList& preshows, std::optional<int> changedRow) {
    if (!changedRow || *changedRow < 0 || *changedRow >= static_cast<int>(preshows.rows.size()) ||
        !preshows.rows[static_cast<std::size_t>(*changedRow)].checked) {
        return;
    }
    for (std::size_t i = 0; i < preshows.rows.size(); ++i) {
        preshows.rows[i].checked = static_cast<int>(i) == *changedRow;
    }
}

Target SaverTarget(platform::Files& files, const SaverList& savers, int row) {
    const auto& file = savers.files.at(static_cast<std::size_t>(row));
    const std::string folder = file.folder == config::SaverFolder::System
                                   ? config::SystemDirectory512(files)
                                   : config::WindowsDirectory512(files);
    return {TitleKind::Saver, config::SaverPath(folder, file.name),
            savers.list.rows.at(static_cast<std::size_t>(row)).text};
}

Target TitleTarget(TitleKind kind, const CheckList& list, int row) {
    const std::string& text = list.rows.at(static_cast<std::size_t>(row)).text;
    return {kind, text, text};
}

std::optional<DelayedLaunch> LaunchFor(const Target& target, Command command) {
    DelayedLaunch launch;
    launch.target = target;
    switch (target.kind) {
        case TitleKind::Saver:
            launch.launchSwitch = command == Command::Settings ? "/c" : "/s";
            return launch;
        case TitleKind::Tessel:
            if (command == Command::Settings) {
                return std::nullopt;
            }
            launch.launchSwitch = "zz";
            return launch;
        case TitleKind::Preshow:
            launch.launchSwitch = command == Command::Settings ? "/c" : "";
            return launch;
    }
    return std::nullopt;
}

void RunDelayedLaunch(const platform::Platform& platform, const DelayedLaunch& launch) {
    if (launch.launchSwitch != "/c") {
        platform.clock.SleepMs(kPreviewDelayMs);
    }
    try {
        if (launch.target.kind == TitleKind::Preshow) {
            const config::ConfigStore store(platform.registry, nullptr);
            launch::LaunchPreshow(platform, store, launch.target.item, launch.launchSwitch, false);
            return;
        }
        if (launch.launchSwitch != "zz") {
            LaunchScreenSaver(platform, launch);
            return;
        }
    } catch (const config::ConfigError& error) {
        platform::ShowHostMessage(platform.dialogs, error.what());
        return;
    }
    std::shared_ptr<TesselPreviewGuard> previews = launch.previews;
    std::optional<std::uint64_t> ticket = launch.previewTicket;
    if (!previews) {
        previews = std::make_shared<TesselPreviewGuard>();
        ticket = previews->Claim();
    }
    RunTesselPreview(platform, *previews, ticket.value_or(0), launch.target.item,
                     [&] { return StartScreenSaverProcess(platform, launch); });
}

bool StartDelayedLaunch(const Target& selected, Command command,
                        const std::shared_ptr<TesselPreviewGuard>& previews,
                        const std::function<void(LaunchBody)>& startThread) {
    std::optional<DelayedLaunch> launch = LaunchFor(selected, command);
    if (!launch) {
        return false;
    }
    std::shared_ptr<void> claim;
    if (launch->launchSwitch == "zz" && previews) {
        const std::optional<std::uint64_t> ticket = previews->Claim();
        if (!ticket) {
            return false;  // one preview at a time
        }
        launch->previews = previews;
        launch->previewTicket = *ticket;
        // Ends the claim when the last copy of the body goes, run or not; after the preview
        // finished this does nothing.
        claim = std::shared_ptr<void>(
            nullptr, [previews, ticket = *ticket](void*) { previews->Release(ticket); });
    }
    startThread([copy = *std::move(launch), claim](const platform::Platform& platform) {
        RunDelayedLaunch(platform, copy);
    });
    return true;
}

namespace {

void DeleteOrSay(const platform::Platform& platform, const std::string& path,
                 std::string_view name) {
    if (platform.files.Delete(path)) {
        return;
    }
    platform::MessageBoxRequest box;
    box.text = WithArgument(text::DeleteFailed, name);
    box.caption = std::string(platform::kHostCaption);
    box.warning = true;
    (void)platform.dialogs.Show(box);
}

}  // namespace

std::optional<Lists> DeleteTitle(const platform::Platform& platform, const OptionsStart& start,
                                 const Target& target, Lists current,
                                 TesselPreviewGuard* previews) {
    platform::MessageBoxRequest question;
    question.text = WithArgument(text::DeleteQuestion, target.name);
    question.caption = std::string(platform::kHostCaption);
    question.buttons = platform::Buttons::YesCancel;
    question.warning = true;
    if (platform.dialogs.Show(question) != platform::Answer::Yes) {
        return std::nullopt;
    }
    if (previews != nullptr) {
        previews->Settle(platform.registry);  // a preview's values never outlive a store
    }
    config::RegIniFile ini = config::OpenUserIni(platform.registry);
    switch (target.kind) {
        case TitleKind::Saver: {
            (void)SaveSelectedScreenSavers(current.savers, ini);
            const std::string_view name =
                std::string_view(target.item).substr(target.item.find_last_of('\\') + 1);
            if (IsPlainName(name)) {
                DeleteOrSay(platform, target.item, target.name);
            }
            current.savers = InitLstScreenSavers(platform, ini, start.isNT);
            (void)SaveSelectedScreenSavers(current.savers, ini);
            break;
        }
        case TitleKind::Tessel:
            (void)SaveSelectedQuorvanes(current.tessels, ini);
            if (IsPlainName(target.item)) {
                // The file the list shows under this title, of either folder.
                const auto path =
                    config::FindTessel(platform.files, start.tesselFolders, target.item);
                DeleteOrSay(platform,
                            path.value_or(config::TesselPath(start.tesselsDir, target.item)),
                            target.name);
            }
            current.tessels = InitLstQuorvanes(platform, ini, start.tesselFolders);
            (void)SaveSelectedQuorvanes(current.tessels, ini);
            break;
        case TitleKind::Preshow:
            SaveSelectedPreshow(current.preshows, ini);
            if (IsPlainName(target.item)) {
                DeleteOrSay(platform,
                            start.tesselsDir + std::string(config::kPreshowsFolder) + "\\" +
                                target.item + std::string(config::kPreshowExtension),
                            target.name);
            }
            current.preshows = InitLstPreshows(platform, start.tesselsDir);
            SaveSelectedPreshow(current.preshows, ini);
            break;
    }
    return current;
}

}  // namespace qv::settings
