#include "settings/title_actions.h"

#include "common/text.h"
#include "config/config_store.h"
#include "config/entries.h"
#include "config/launch.h"
#include "config/messages.h"
#include "config/names.h"
#include "config/paths.h"
#include "config/title_list.h"

namespace qv::settings {

namespace {

namespace value = config::value;
using config::kIniSection;

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
// switch, at high priority in a console of its own, not waited for.
void LaunchScreenSaver(const platform::Platform& platform, const DelayedLaunch& launch) {
    std::string path = launch.target.item;
    if (launch.launchSwitch == "zz") {
        path = config::ConfigStore(platform.registry, nullptr)
                   .ReadMachineValue(value::InstallLocation);
    }
    const std::string program = config::ShortPathWithin512(platform.files, path).value_or(path);
    platform::ProcessLaunch start;
    start.commandLine = config::CommandLineFor(program) + " " + launch.launchSwitch;
    start.priority = platform::Priority::High;
    start.newConsole = true;
    start.showCommand = platform::ShowCommand::Show;
    if (program.empty() || !platform.processes.Start(start)) {
        config::ShowHostMessage(platform.dialogs, config::text::SaverStartFailed);
    }
}

// The preview's own rotation: the one Tessel, current, without rotating.
struct PreviewValues {
    std::string tessel;
    std::string current;
    std::string rotation;
};

PreviewValues Read(const config::RegIniFile& ini) {
    return {ini.ReadString(kIniSection, value::Tessel, ""),
            ini.ReadString(kIniSection, value::CurrentTessel, ""),
            ini.ReadBool(kIniSection, value::RotationEnabled, false) ? "1" : "0"};
}

void RestoreWhereUnchanged(config::RegIniFile& ini, const PreviewValues& remembered,
                           const PreviewValues& written) {
    const PreviewValues now = Read(ini);
    if (now.tessel == written.tessel) {
        ini.WriteString(kIniSection, value::Tessel, remembered.tessel);
    }
    if (now.current == written.current) {
        ini.WriteString(kIniSection, value::CurrentTessel, remembered.current);
    }
    if (now.rotation == written.rotation) {
        ini.WriteString(kIniSection, value::RotationEnabled, remembered.rotation);
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
    switch (target.kind) {
        case TitleKind::Saver:
            return DelayedLaunch{target, command == Command::Settings ? "/c" : "/s"};
        case TitleKind::Tessel:
            if (command == Command::Settings) {
                return std::nullopt;
            }
            return DelayedLaunch{target, "zz"};
        case TitleKind::Preshow:
            return DelayedLaunch{target, command == Command::Settings ? "/c" : ""};
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
            config::LaunchPreshow(platform, store, launch.target.item, launch.launchSwitch, false);
            return;
        }
        if (launch.launchSwitch != "zz") {
            LaunchScreenSaver(platform, launch);
            return;
        }
        config::RegIniFile ini = config::OpenUserIni(platform.registry);
        const PreviewValues remembered = Read(ini);
        const PreviewValues written{config::QuoteSingleEntry(launch.target.item),
                                    launch.target.item, "0"};
        ini.WriteString(kIniSection, value::CurrentTessel, written.current);
        ini.WriteString(kIniSection, value::Tessel, written.tessel);
        ini.WriteString(kIniSection, value::RotationEnabled, written.rotation);
        LaunchScreenSaver(platform, launch);
        platform.clock.SleepMs(kTesselPreviewHoldMs);
        RestoreWhereUnchanged(ini, remembered, written);
    } catch (const config::ConfigError& error) {
        config::ShowHostMessage(platform.dialogs, error.what());
    }
}

namespace {

void DeleteOrSay(const platform::Platform& platform, const std::string& path,
                 std::string_view name) {
    if (platform.files.Delete(path)) {
        return;
    }
    platform::MessageBoxRequest box;
    box.text = WithArgument(text::DeleteFailed, name);
    box.caption = std::string(config::text::HostCaption);
    box.warning = true;
    (void)platform.dialogs.Show(box);
}

}  // namespace

std::optional<Lists> DeleteTitle(const platform::Platform& platform, const OptionsStart& start,
                                 const Target& target, Lists current) {
    platform::MessageBoxRequest question;
    question.text = WithArgument(text::DeleteQuestion, target.name);
    question.caption = std::string(config::text::HostCaption);
    question.buttons = platform::Buttons::YesCancel;
    question.warning = true;
    if (platform.dialogs.Show(question) != platform::Answer::Yes) {
        return std::nullopt;
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
                DeleteOrSay(platform, config::TesselPath(start.tesselsDir, target.item),
                            target.name);
            }
            current.tessels = InitLstQuorvanes(platform, ini, start.tesselsDir);
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
