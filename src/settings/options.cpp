#include "settings/options.h"

#include <algorithm>
#include <limits>

#include "common/shared_names.h"
#include "common/text.h"
#include "config/config_store.h"
#include "config/names.h"
#include "config/paths.h"
#include "config/system_saver_settings.h"
#include "config/title_list.h"
#include "desktop/window_search.h"
#include "launch/launch.h"
#include "pe/pe_library.h"
#include "platform/messages.h"
#include "settings/saver_description.h"
#include "settings/tessel_preview.h"

namespace qv::settings {

namespace {

namespace value = config::value;
using config::kIniSection;
using platform::RegRoot;

// The tray program lets go of its single-instance mutex as its process ends; the new one
// is started only then, so that exactly one runs.
constexpr std::int64_t kTrayEndWaitMs = 5000;
constexpr std::int64_t kTrayEndPollMs = 50;
constexpr std::size_t kCustomerLinkMaxChars = 512;

// The lists' order: the user's locale, case ignored; titles equal by it keep the order
// of their exact text, so that a list reads the same on every opening.
bool ListOrder(platform::TextRules& text, const std::string& a, const std::string& b) {
    const int order = text.Collate(a, b);
    return order != 0 ? order < 0 : a < b;
}

// The names of the files matching `pattern`, each up to its last ".", in list order.
std::vector<std::string> SortedTitles(const platform::Platform& platform,
                                      const std::string& pattern) {
    std::vector<std::string> titles;
    for (const std::string& name : platform.files.List(pattern)) {
        titles.push_back(config::StripLastExtension(name));
    }
    std::stable_sort(titles.begin(), titles.end(), [&](const std::string& a, const std::string& b) {
        return ListOrder(platform.text, a, b);
    });
    return titles;
}

CheckList Rows(const std::vector<std::string>& titles, std::string_view placeholder) {
    CheckList list;
    for (const std::string& title : titles) {
        list.rows.push_back({title, false});
    }
    if (list.rows.empty()) {
        list.rows.push_back({std::string(placeholder), false});
    }
    return list;
}

// The checked rows' texts, in list order; none when the list shows its placeholder.
std::vector<std::string> CheckedTexts(const CheckList& list, std::string_view placeholder) {
    std::vector<std::string> texts;
    if (list.ShowsOnly(placeholder)) {
        return texts;
    }
    for (const CheckRow& row : list.rows) {
        if (row.checked) {
            texts.push_back(row.text);
        }
    }
    return texts;
}

// The password option as stored for this platform family. A missing value is the option
// off, as every missing value is a default; only a value that is there and cannot be read
// is reported.
bool ReadPasswordOn(const platform::Platform& platform, bool isNT) {
    const auto stored = platform.registry.Query(
        RegRoot::CurrentUser, config::kDesktopKeyPath,
        isNT ? config::kScreenSaverIsSecure : config::kScreenSaveUsePassword);
    if (!stored) {
        return false;
    }
    if (isNT) {
        const auto text = config::StoredText(stored, config::kValueBufferBytes);
        if (!text) {
            platform::ShowHostMessage(platform.dialogs, text::PasswordReadFailed);
            return false;
        }
        return *text == "1";
    }
    // Read straight into a 32-bit number, whatever the type: at most four bytes.
    if (stored->data.size() > 4) {
        platform::ShowHostMessage(platform.dialogs, text::PasswordReadFailed);
        return false;
    }
    std::uint32_t number = 0;
    for (std::size_t k = stored->data.size(); k-- > 0;) {
        number = (number << 8) | static_cast<unsigned char>(stored->data[k]);
    }
    return number == 1;
}

// The password option as the platform family keeps it. On the NT family the change is
// broadcast whether or not the value was written (a broadcast of nothing changed is harmless).
config::SettingFailures StorePassword(const platform::Platform& platform, bool isNT, bool on) {
    const config::SystemSaverSettings system(platform);
    config::SettingFailures failures =
        isNT ? system.SetScreenSaverIsSecure(on) : system.SetScreenSaveUsePassword(on);
    if (isNT) {
        platform.desktop.BroadcastWinIniChange();
    }
    return failures;
}

void Append(config::SettingFailures& to, config::SettingFailures more) {
    for (config::SettingFailure& failure : more) {
        to.push_back(std::move(failure));
    }
}

void ShowUnstored(const platform::Platform& platform, const config::SettingFailures& failures) {
    platform::ShowHostMessage(platform.dialogs, std::string(text::NotAllStoredHead) + "\n\n" +
                                                    config::DescribeFailures(failures) + "\n\n" +
                                                    std::string(text::NotAllStoredTail));
}

void ReadBranding(platform::Files& files, OptionsStart& start) {
    auto file = files.OpenForReading(start.tesselsDir + std::string(kCustInfoLibrary),
                                     platform::Sharing::ReadDelete);
    if (!file) {
        return;
    }
    pe::PeError error = pe::PeError::NotMz;
    auto library =
        pe::PeResourceLibrary::Open(std::make_unique<pe::FileSource>(std::move(file)), error);
    if (!library) {
        return;
    }
    start.customerPicture = library->RcData("CUSTOMER");
    start.productPicture = library->RcData("PRODUCT");
    const std::string link = library->String(1).value_or("");
    if (!link.empty()) {
        start.customerLink = link.substr(0, kCustomerLinkMaxChars);
    }
}

// One more opening counted: the count stays at the largest stored number rather than
// overflow (a stored 2147483647 stays so).
int CountedOnce(int stored) {
    return stored < std::numeric_limits<int>::max() ? stored + 1 : stored;
}

std::optional<int> IndexWithin(int stored, int items) {
    return stored >= 0 && stored < items ? std::optional<int>(stored) : std::nullopt;
}

void WriteShowModes(const config::ShowModes& modes, config::RegIniFile& regIni) {
    regIni.WriteString(kIniSection, value::PictureSize, config::PictureSizeText(modes.size));
    regIni.WriteString(kIniSection, value::Monitors, config::MonitorUseText(modes.monitors));
    regIni.WriteString(kIniSection, value::Crossfade, config::CrossfadeText(modes.crossfade));
}

void WaitForTrayEnd(const platform::Platform& platform) {
    for (std::int64_t waited = 0;
         waited < kTrayEndWaitMs && platform.processes.MutexExists(shared::kTrayMutex);
         waited += kTrayEndPollMs) {
        platform.clock.SleepMs(kTrayEndPollMs);
    }
}

}  // namespace

bool CheckList::ShowsOnly(std::string_view placeholder) const {
    return !rows.empty() && rows.front().text == placeholder;
}

CheckList InitLstQuorvanes(const platform::Platform& platform, const config::RegIniFile& regIni,
                           std::string_view tesselsDir) {
    CheckList list = Rows(SortedTitles(platform, std::string(tesselsDir) + "\\*" +
                                                     std::string(config::kTesselExtension)),
                          text::NoTessels);
    if (list.ShowsOnly(text::NoTessels)) {
        return list;
    }
    for (const std::string& entry :
         config::DecodeTitleList(regIni.ReadString(kIniSection, value::Tessel, ""))) {
        const auto row = std::find_if(list.rows.begin(), list.rows.end(), [&](const CheckRow& r) {
            return platform.text.SameName(r.text, entry);
        });
        if (row != list.rows.end()) {
            row->checked = true;
        }
    }
    return list;
}

SaverList InitLstScreenSavers(const platform::Platform& platform, const config::RegIniFile& regIni,
                              bool isNT) {
    platform::Files& files = platform.files;
    struct Found {
        std::string description;
        SaverFile file;
    };
    std::vector<Found> found;
    const std::pair<std::string, config::SaverFolder> folders[] = {
        {config::WindowsDirectory512(files), config::SaverFolder::Windows},
        {config::SystemDirectory512(files), config::SaverFolder::System}};
    for (const auto& [folder, kind] : folders) {
        if (folder.empty()) {
            continue;
        }
        for (const std::string& name :
             files.List(folder + "\\*" + std::string(config::kSaverExtension))) {
            const std::string base = config::StripLastExtension(name);
            if (platform.text.SameName(base, shared::kSaverHostName)) {
                continue;  // the saver host does not list itself
            }
            found.push_back(
                {SaverListName(files, platform.text, folder + "\\" + name, isNT), {base, kind}});
        }
    }
    // A sorted list box puts an equal description after the ones it holds already.
    std::stable_sort(found.begin(), found.end(), [&](const Found& a, const Found& b) {
        return platform.text.Collate(a.description, b.description) < 0;
    });
    SaverList savers;
    for (Found& f : found) {
        savers.list.rows.push_back({std::move(f.description), false});
        savers.files.push_back(std::move(f.file));
    }
    if (savers.list.rows.empty()) {
        savers.list.rows.push_back({std::string(text::NoSavers), false});
        return savers;
    }
    for (const std::string& entry :
         config::DecodeTitleList(regIni.ReadString(kIniSection, value::Saver, ""))) {
        if (entry.empty()) {
            continue;
        }
        const std::string_view name =
            std::string_view(entry).substr(1);  // the digit is not matched
        const auto file =
            std::find_if(savers.files.begin(), savers.files.end(),
                         [&](const SaverFile& f) { return platform.text.SameName(f.name, name); });
        if (file != savers.files.end()) {
            savers.list.rows[static_cast<std::size_t>(file - savers.files.begin())].checked = true;
        }
    }
    return savers;
}

CheckList InitLstPreshows(const platform::Platform& platform, std::string_view tesselsDir) {
    const config::ConfigStore store(platform.registry, nullptr);
    std::string current = store.ReadUserValue(value::PreshowLocation);
    if (current.empty()) {
        current = store.ReadMachineValue(value::PreshowLocation);
    }
    CheckList list =
        Rows(SortedTitles(platform, std::string(tesselsDir) + std::string(config::kPreshowsFolder) +
                                        "\\*" + std::string(config::kPreshowExtension)),
             text::NoPreshows);
    if (!list.ShowsOnly(text::NoPreshows)) {
        for (CheckRow& row : list.rows) {
            row.checked = row.text == current;
        }
    }
    return list;
}

int SaveSelectedQuorvanes(const CheckList& tessels, config::RegIniFile& regIni) {
    const std::vector<std::string> checked = CheckedTexts(tessels, text::NoTessels);
    regIni.WriteString(kIniSection, value::Tessel,
                       checked.empty() ? "" : config::EncodeTitleList(checked));
    regIni.WriteString(kIniSection, value::CurrentTessel, checked.empty() ? "" : checked.front());
    return static_cast<int>(checked.size());
}

int SaveSelectedScreenSavers(const SaverList& savers, config::RegIniFile& regIni) {
    config::TitleList entries;
    if (!savers.list.ShowsOnly(text::NoSavers)) {
        for (std::size_t i = 0; i < savers.list.rows.size() && i < savers.files.size(); ++i) {
            if (savers.list.rows[i].checked) {
                entries.push_back(
                    config::FormatSaverEntry({savers.files[i].folder, savers.files[i].name}));
            }
        }
    }
    regIni.WriteString(kIniSection, value::ScreenSaverType, entries.empty() ? "0" : "1");
    regIni.WriteString(kIniSection, value::Saver,
                       entries.empty() ? "" : config::EncodeTitleList(entries));
    regIni.WriteString(kIniSection, value::CurrentSaver, entries.empty() ? "" : entries.front());
    return static_cast<int>(entries.size());
}

void SaveSelectedPreshow(const CheckList& preshows, config::RegIniFile& regIni) {
    const std::vector<std::string> checked = CheckedTexts(preshows, text::NoPreshows);
    regIni.WriteString(kIniSection, value::PreshowLocation, checked.empty() ? "" : checked.front());
}

OptionsStart FormCreate(const platform::Platform& platform) {
    OptionsStart start;
    start.isNT = platform.system.IsNT();
    const config::SystemSaverSettings system(platform);
    start.waitMinutes =
        std::clamp(system.ScreenSaveTimeOut() / 60, kWaitMinutesLeast, kWaitMinutesMost);
    start.passwordOn = ReadPasswordOn(platform, start.isNT);
    const config::ConfigStore store(platform.registry, nullptr);
    start.tesselsDir = store.ReadMachineValue(value::TesselsDir);
    ReadBranding(platform.files, start);

    config::RegIniFile regIni = config::OpenUserIni(platform.registry);
    try {
        regIni.WriteInteger(kIniSection, value::LogoIMP,
                            CountedOnce(regIni.ReadInteger(kIniSection, value::LogoIMP, 0)));
    } catch (const config::ConfigError& error) {
        // A count of openings must not keep the user from the settings.
        platform::ShowHostMessage(platform.dialogs, error.what());
    }
    start.tessels = InitLstQuorvanes(platform, regIni, start.tesselsDir);
    start.savers = InitLstScreenSavers(platform, regIni, start.isNT);
    start.preshows = InitLstPreshows(platform, start.tesselsDir);
    start.viewTimeIndex =
        IndexWithin(regIni.ReadInteger(kIniSection, value::ViewTime, 0), kViewTimeItems);
    start.mouseDelayIndex =
        IndexWithin(regIni.ReadInteger(kIniSection, value::MouseDelay, 0), kMouseDelayItems);
    start.showModes = config::ReadShowModes(store);
    return start;
}

std::optional<int> ParseWaitMinutes(std::string_view text) {
    const auto minutes = config::ParseDecimal(text);
    if (!minutes || *minutes < kWaitMinutesLeast || *minutes > kWaitMinutesMost) {
        return std::nullopt;
    }
    return minutes;
}

OkOutcome ApplySettings(const platform::Platform& platform, const OptionsStart& start,
                        const OptionsChoice& choice, TesselPreviewGuard* previews) {
    const auto minutes = ParseWaitMinutes(choice.waitText);
    if (!minutes) {
        platform::ShowHostMessage(platform.dialogs, text::BadWaitTime);
        return OkOutcome::WaitTimeRefused;
    }
    // What the system refuses is gathered and told once, at the end: everything else is
    // stored all the same, and the dialog stays open so that the user can try again.
    config::SettingFailures unstored = StorePassword(platform, start.isNT, choice.passwordOn);
    const config::SystemSaverSettings system(platform);
    Append(unstored, system.SetScreenSaveTimeOut(*minutes * 60));

    try {
        if (previews != nullptr) {
            previews->Settle(platform.registry);
        }
        config::RegIniFile regIni = config::OpenUserIni(platform.registry);
        // The Tessels, then the savers, one statement each: the operands of a sum are
        // evaluated in an order the compiler picks.
        const int tessels = SaveSelectedQuorvanes(choice.tessels, regIni);
        const int savers = SaveSelectedScreenSavers(choice.savers, regIni);
        const int titles = tessels + savers;
        SaveSelectedPreshow(choice.preshows, regIni);
        regIni.WriteInteger(kIniSection, value::ViewTime, choice.viewTimeIndex.value_or(0));
        regIni.WriteInteger(kIniSection, value::MouseDelay, choice.mouseDelayIndex.value_or(0));
        WriteShowModes(choice.showModes, regIni);
        regIni.WriteBool(kIniSection, value::RotationEnabled, titles > 1);

        const platform::WindowId tray =
            desktop::FindWindowTitled(platform, start.isNT, shared::kTrayWindowTitle);
        std::string saverHost;
        if (titles >= 1) {
            const config::ConfigStore store(platform.registry, nullptr);
            saverHost = config::ShortPathWithin512(platform.files,
                                                   store.ReadMachineValue(value::InstallLocation))
                            .value_or("");
        }
        Append(unstored, system.SetSystemScreenSaver(saverHost));

        if (tray != 0) {
            (void)platform.desktop.Send(tray, shared::kWmClose, 0, 0);
            WaitForTrayEnd(platform);
        }
        regIni.WriteBool(kIniSection, value::TrayIconOn, true);
        platform::ProcessLaunch launch;
        launch.commandLine = launch::CommandLineFor(start.tesselsDir + std::string(kTrayProgram));
        launch.workingDirectory = start.tesselsDir;
        launch.newConsole = false;
        launch.showCommand = platform::ShowCommand::Hide;
        if (platform.processes.Start(launch) == nullptr) {
            if (unstored.empty()) {
                platform::ShowHostMessage(platform.dialogs, text::TrayNotStarted);
            } else {
                unstored.push_back({std::string(text::TrayProgramSetting),
                                    std::string(text::TrayProgramNotStarted)});
            }
        }
    } catch (const config::ConfigError& error) {
        if (unstored.empty()) {
            throw;  // the caller names the value; the remaining steps were not run
        }
        unstored.push_back({std::string(text::ConfigurationSetting), error.what()});
    }
    if (!unstored.empty()) {
        ShowUnstored(platform, unstored);
        return OkOutcome::NotAllStored;
    }
    return OkOutcome::Applied;
}

}  // namespace qv::settings
