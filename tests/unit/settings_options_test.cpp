#include "settings/options.h"

#include <gtest/gtest.h>

#include "config/config_store.h"
#include "config/names.h"
#include "config/title_list.h"
#include "pe/pe_writer.h"
#include "platform/memory/memory_platform.h"
#include "test_savers.h"

namespace qv::settings {
namespace {

using platform::RegRoot;
using platform::RegType;
using platform::memory::MemoryPlatform;

constexpr char kTessels[] = "C:\\Tessels";
constexpr char kInstall[] = "C:\\Program Files\\Quorvanes\\Quorvanes.scr";
constexpr char kInstallShort[] = "C:\\PROGRA~1\\QUORVA~1\\QUORVA~1.SCR";

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMachine(config::value::TesselsDir, kTessels);
        SetMachine(config::value::InstallLocation, kInstall);
        mem.files.AddFile(kInstall, kInstallShort);
    }
    void SetMachine(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::LocalMachine, config::kKeyPath, name, text);
    }
    void SetUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, name, text);
    }
    std::string User(std::string_view name) {
        return config::ConfigStore(mem.registry, nullptr).ReadUserValue(name);
    }
    // A 16-bit saver with this description in a folder.
    void AddSaver(const std::string& folder, const std::string& file, std::string_view name) {
        mem.files.AddFileBytes(folder + "\\" + file, testing::MakeNeSaver(name));
    }
    static std::vector<std::string> Texts(const CheckList& list) {
        std::vector<std::string> texts;
        for (const auto& row : list.rows) {
            texts.push_back(row.text + (row.checked ? " [x]" : ""));
        }
        return texts;
    }

    MemoryPlatform mem;
};

TEST_F(SettingsTest, ListsAreSortedMarkedFromTheStoreAndShowPlaceholdersWhenEmpty) {
    OptionsStart empty = FormCreate(mem.platform());
    EXPECT_EQ(Texts(empty.tessels), (std::vector<std::string>{"No Quorvanes Found."}));
    EXPECT_EQ(Texts(empty.savers.list), (std::vector<std::string>{"No ScreenSavers Found."}));
    EXPECT_EQ(Texts(empty.preshows), (std::vector<std::string>{"No Preshows Found."}));

    const std::string windows = mem.files.windowsDir;
    const std::string system = mem.files.systemDir;
    AddSaver(windows, "Stars.scr", "SCRNSAVE : Starfield");
    AddSaver(system, "Stars.scr", "SCRNSAVE : Starfield");  // in both folders: listed twice
    AddSaver(system, "Pipes.scr", "SCRNSAVE : Marbles");
    AddSaver(system, "Marbles.scr", "SCRNSAVE : Marbles");      // one description, two files
    AddSaver(system, "Quorvanes.scr", "SCRNSAVE : Quorvanes");  // the saver host itself
    mem.files.AddFile(system + "\\Broken.scr");                 // no name: its file name
    for (const char* title : {"harbour.tsl", "Alps.tsl", "Zoo.tsl"}) {
        mem.files.AddFile(std::string(kTessels) + "\\" + title);
    }
    for (const char* preshow : {"Zoom.exe", "Intro.exe"}) {
        mem.files.AddFile(std::string(kTessels) + "\\Preshows\\" + preshow);
    }
    SetUser(config::value::Tessel, config::EncodeTitleList({"HARBOUR", "Gone"}));
    SetUser(config::value::Saver, config::EncodeTitleList({"1stars", "1Marbles"}));
    SetUser(config::value::PreshowLocation, "Zoom");
    SetUser(config::value::ViewTime, "20");  // beyond the 16 items
    SetUser(config::value::MouseDelay, "7");

    const OptionsStart start = FormCreate(mem.platform());
    EXPECT_EQ(Texts(start.tessels), (std::vector<std::string>{"Alps", "harbour [x]", "Zoo"}));
    EXPECT_EQ(Texts(start.savers.list),
              (std::vector<std::string>{"Broken", "Marbles", "Marbles [x]", "Starfield [x]",
                                        "Starfield"}));
    ASSERT_EQ(start.savers.files.size(), 5u);
    EXPECT_EQ(start.savers.files[1].name, "Pipes");
    EXPECT_EQ(start.savers.files[2].name, "Marbles");
    EXPECT_EQ(start.savers.files[3].folder, config::SaverFolder::Windows)
        << "a stored entry checks the first file of that name, whatever its digit says";
    EXPECT_EQ(start.savers.files[4].folder, config::SaverFolder::System);
    EXPECT_EQ(Texts(start.preshows), (std::vector<std::string>{"Intro", "Zoom [x]"}));
    EXPECT_FALSE(start.viewTimeIndex);
    EXPECT_EQ(start.mouseDelayIndex, 7);
    EXPECT_EQ(User(config::value::LogoIMP), "2") << "each opening is counted";
}

// The count of openings is a stored number like any other; its largest
// value must not overflow the increment (undefined behaviour, caught under UBSan).
TEST_F(SettingsTest, TheOpeningCountStaysAtTheLargestNumberInsteadOfOverflowing) {
    for (const auto& [stored, counted] :
         std::vector<std::pair<std::string, std::string>>{{"2147483647", "2147483647"},
                                                          {"2147483646", "2147483647"},
                                                          {"-2147483648", "-2147483647"},
                                                          {"2147483648", "1"},  // no number
                                                          {"41", "42"}}) {
        SetUser(config::value::LogoIMP, stored);
        (void)FormCreate(mem.platform());
        EXPECT_EQ(User(config::value::LogoIMP), counted) << stored;
    }
}

TEST_F(SettingsTest, WaitingTimeAndPasswordStateByPlatformFamily) {
    const auto timeout = [&](const char* seconds) {
        mem.registry.SetString(RegRoot::CurrentUser, "Control Panel\\Desktop", "ScreenSaveTimeOut",
                               seconds);
        return FormCreate(mem.platform()).waitMinutes;
    };
    EXPECT_EQ(FormCreate(mem.platform()).waitMinutes, 60) << "missing: 3600 seconds";
    EXPECT_EQ(timeout("90"), 1);
    EXPECT_EQ(timeout("30"), 1);
    EXPECT_EQ(timeout("7200"), 60);

    EXPECT_FALSE(FormCreate(mem.platform()).passwordOn);
    EXPECT_TRUE(mem.dialogs.shown.empty()) << "a missing value is the option off, not an error";
    mem.registry.SetString(RegRoot::CurrentUser, "Control Panel\\Desktop", "ScreenSaverIsSecure",
                           "1");
    EXPECT_TRUE(FormCreate(mem.platform()).passwordOn);

    mem.system.nt = false;  // the 95 family reads its own value
    EXPECT_FALSE(FormCreate(mem.platform()).passwordOn);
    ASSERT_EQ(
        mem.registry.Set(RegRoot::CurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword",
                         {RegType::Dword, std::string("\1\0\0\0", 4)}),
        platform::RegWriteStatus::Ok);
    EXPECT_TRUE(FormCreate(mem.platform()).passwordOn);
    ASSERT_EQ(mem.registry.Set(RegRoot::CurrentUser, "Control Panel\\Desktop",
                               "ScreenSaveUsePassword", {RegType::Binary, std::string(8, '\1')}),
              platform::RegWriteStatus::Ok);
    EXPECT_FALSE(FormCreate(mem.platform()).passwordOn);
    EXPECT_EQ(mem.dialogs.Texts(),
              (std::vector<std::string>{"Unable to read Password Enabled key in registry"}));

    EXPECT_EQ(ParseWaitMinutes("5"), 5);
    for (const char* bad : {"", "0", "61", "5x", " 5", "-3", "99999999999"}) {
        EXPECT_FALSE(ParseWaitMinutes(bad)) << bad;
    }
}

TEST_F(SettingsTest, BrandingComesFromCustInfoWhenItIsThere) {
    EXPECT_EQ(FormCreate(mem.platform()).customerLink, kDefaultCustomerLink);
    pe::ResourceLibraryLayout layout;
    layout.rcdata.push_back({"CUSTOMER", {0xFF, 0xD8, 1}});
    layout.strings[1] = "https://distributor.example/";
    mem.files.AddFileBytes(std::string(kTessels) + "\\CustInfo.dll",
                           pe::WriteResourceLibrary(layout));
    const OptionsStart start = FormCreate(mem.platform());
    EXPECT_EQ(start.customerLink, "https://distributor.example/");
    EXPECT_EQ(start.customerPicture, (std::vector<std::uint8_t>{0xFF, 0xD8, 1}));
    EXPECT_FALSE(start.productPicture) << "a missing picture keeps the built-in one";
}

class OkTest : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        for (const char* title : {"Alps.tsl", "Harbour.tsl"}) {
            mem.files.AddFile(std::string(kTessels) + "\\" + title);
        }
        AddSaver(mem.files.windowsDir, "Stars.scr", "SCRNSAVE : Starfield");
        AddSaver(mem.files.systemDir, "Pipes.scr", "SCRNSAVE : Aquarium");
        mem.files.AddFile(std::string(kTessels) + "\\Preshows\\Intro.exe");
        start = FormCreate(mem.platform());
        choice = {
            start.tessels, start.savers, start.preshows, start.viewTimeIndex, start.mouseDelayIndex,
            false,         "5",          start.showModes};
    }
    OkOutcome Ok() { return ApplySettings(mem.platform(), start, choice); }
    std::optional<std::string> ScrnSave() {
        return mem.profile.Read("system.ini", "boot", "SCRNSAVE.EXE");
    }

    OptionsStart start;
    OptionsChoice choice;
};

TEST_F(OkTest, OneTesselSetsTheSaverHostWithoutRotationAndRestartsTheTrayProgram) {
    choice.tessels.rows[1].checked = true;  // Harbour
    choice.viewTimeIndex = std::nullopt;
    choice.mouseDelayIndex = 3;
    mem.desktop.windows = {{4, "Quorvanes TrayIcon "}, {5, "Quorvanes TrayIcon"}};
    mem.processes.existingMutexes.insert("QVTIconMutex");
    std::int64_t slept = 0;
    mem.clock.onSleep = [&](std::int64_t ms) {
        slept += ms;
        if (slept >= 200) {
            mem.processes.existingMutexes.erase("QVTIconMutex");  // the old one has ended
        }
    };
    ASSERT_EQ(Ok(), OkOutcome::Applied);
    EXPECT_EQ(User(config::value::Tessel), "Harbour");
    EXPECT_EQ(User(config::value::CurrentTessel), "Harbour");
    EXPECT_EQ(User(config::value::ScreenSaverType), "0");
    EXPECT_EQ(User(config::value::Saver), "");
    EXPECT_EQ(User(config::value::RotationEnabled), "0");
    EXPECT_EQ(User(config::value::ViewTime), "0");
    EXPECT_EQ(User(config::value::MouseDelay), "3");
    EXPECT_EQ(User(config::value::PreshowLocation), "");
    EXPECT_EQ(User(config::value::TrayIconOn), "1");
    EXPECT_EQ(ScrnSave(), kInstallShort);
    EXPECT_EQ(mem.system.screenSaveTimeout, 300);
    EXPECT_EQ(mem.system.screenSaveActive, true);

    ASSERT_EQ(mem.desktop.messages.size(), 1u);
    EXPECT_EQ(mem.desktop.messages[0].window, 5u) << "the window titled exactly so";
    EXPECT_EQ(mem.desktop.messages[0].message, 0x0010u);
    EXPECT_EQ(slept, 200) << "the new tray program waits for the old one's end";
    ASSERT_EQ(mem.processes.started.size(), 1u);
    const auto& tray = mem.processes.started[0].launch;
    EXPECT_EQ(tray.commandLine, "C:\\Tessels\\QVTIcon.exe");
    EXPECT_EQ(tray.workingDirectory, std::optional<std::string>(kTessels));
    EXPECT_EQ(tray.showCommand, platform::ShowCommand::Hide);
}

TEST_F(OkTest, ATrayProgramThatDoesNotStartIsReportedAndTheSettingsStayStored) {
    choice.tessels.rows[0].checked = true;
    mem.processes.refuse = [](const platform::ProcessLaunch&) { return true; };
    ASSERT_EQ(Ok(), OkOutcome::Applied) << "what was stored stays; the dialog closes";
    EXPECT_EQ(User(config::value::Tessel), "Alps");
    EXPECT_EQ(User(config::value::TrayIconOn), "1");
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    EXPECT_EQ(mem.dialogs.shown[0].text,
              "Your settings were saved, but the Quorvanes tray program (QVTIcon.exe) could not "
              "be started. The screen saver rotation starts with it the next time you log on.");
}

TEST_F(OkTest, SaversInDescriptionOrderWithTheirDigitsAndATesselMakeARotation) {
    for (auto& row : choice.savers.list.rows) {
        row.checked = true;
    }
    choice.tessels.rows[0].checked = true;
    choice.preshows.rows[0].checked = true;
    ASSERT_EQ(Ok(), OkOutcome::Applied);
    EXPECT_EQ(User(config::value::Saver), "1Pipes,0Stars") << "Aquarium before Starfield";
    EXPECT_EQ(User(config::value::CurrentSaver), "1Pipes");
    EXPECT_EQ(User(config::value::ScreenSaverType), "1");
    EXPECT_EQ(User(config::value::RotationEnabled), "1");
    EXPECT_EQ(User(config::value::PreshowLocation), "Intro");
    EXPECT_TRUE(mem.processes.started.size() == 1 && mem.desktop.messages.empty())
        << "no tray program ran: none is closed, one is started";
}

// The lists are stored in their order (Tessels, savers, Preshow), whatever order a compiler
// would give the operands of a sum.
TEST_F(OkTest, TheTesselsAreStoredBeforeTheSaversAndThenThePreshow) {
    choice.tessels.rows[0].checked = true;
    choice.savers.list.rows[0].checked = true;
    mem.registry.writtenNames.clear();
    ASSERT_EQ(Ok(), OkOutcome::Applied);
    std::vector<std::string> step4;
    for (const std::string& name : mem.registry.writtenNames) {
        for (const std::string_view wanted :
             {config::value::Tessel, config::value::CurrentTessel, config::value::ScreenSaverType,
              config::value::Saver, config::value::CurrentSaver, config::value::PreshowLocation}) {
            if (name == wanted) {
                step4.push_back(name);
            }
        }
    }
    EXPECT_EQ(step4, (std::vector<std::string>{"Tessel", "CurrentTessel", "ScreenSaverType",
                                               "Saver", "CurrentSaver", "PreshowLocation"}));
}

TEST_F(OkTest, NothingCheckedEmptiesTheSystemSaverAndABadWaitStoresNothing) {
    ASSERT_EQ(Ok(), OkOutcome::Applied);
    EXPECT_EQ(ScrnSave(), "");
    EXPECT_EQ(User(config::value::RotationEnabled), "0");
    EXPECT_EQ(mem.system.screenSaveActive, true) << "screen saving stays on";

    const auto writesBefore = mem.registry.WriteCount();
    choice.waitText = "0";
    choice.tessels.rows[0].checked = true;
    EXPECT_EQ(Ok(), OkOutcome::WaitTimeRefused);
    EXPECT_EQ(mem.registry.WriteCount(), writesBefore) << "nothing stored";
    EXPECT_EQ(mem.dialogs.Texts().back(),
              "The waiting time must be a whole number of minutes from 1 to 60.");
}

TEST_F(OkTest, PasswordOptionByFamilyAndAFailedWriteIsReportedAndOkGoesOn) {
    choice.passwordOn = true;
    ASSERT_EQ(Ok(), OkOutcome::Applied);
    EXPECT_EQ(
        mem.registry.Query(RegRoot::CurrentUser, "Control Panel\\Desktop", "ScreenSaverIsSecure")
            ->data,
        std::string("1\0", 2));
    const int broadcasts = mem.desktop.winIniBroadcasts;

    start.isNT = false;
    ASSERT_EQ(Ok(), OkOutcome::Applied);
    EXPECT_EQ(
        mem.registry.Query(RegRoot::CurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword")
            ->type,
        RegType::Dword);
    EXPECT_EQ(mem.desktop.winIniBroadcasts, broadcasts + 1) << "only the system saver's broadcast";

    start.isNT = true;
    mem.registry.failingValueNames.insert("ScreenSaverIsSecure");
    ASSERT_EQ(Ok(), OkOutcome::NotAllStored);
    EXPECT_NE(mem.dialogs.Texts().back().find("The password option (ScreenSaverIsSecure): "),
              std::string::npos);
    EXPECT_EQ(mem.desktop.winIniBroadcasts, broadcasts + 3) << "broadcast after a failed write too";
    EXPECT_EQ(User(config::value::TrayIconOn), "1") << "OK went on";
}

// A refused system setting stops none of the others; once OK is through, one box tells
// each with the system's reason, and the dialog stays open for another try.
TEST_F(OkTest, WhatTheSystemRefusesIsToldInOneBoxAfterEverythingElseIsStored) {
    choice.tessels.rows[0].checked = true;
    mem.system.timeoutRefused = "Access is denied.";
    mem.profile.unwritable["system.ini"] = "The directory name is invalid.";
    mem.processes.refuse = [](const platform::ProcessLaunch&) { return true; };
    ASSERT_EQ(Ok(), OkOutcome::NotAllStored);
    EXPECT_EQ(User(config::value::Tessel), "Alps");
    EXPECT_EQ(User(config::value::TrayIconOn), "1");
    EXPECT_EQ(mem.system.screenSaveActive, true);
    EXPECT_EQ(mem.dialogs.Texts(),
              std::vector<std::string>{
                  "These settings could not be stored:\n\n"
                  "The waiting time (ScreenSaveTimeOut): Access is denied.\n"
                  "The screen saver (SCRNSAVE.EXE in system.ini): The directory name is invalid.\n"
                  "The tray program (QVTIcon.exe): it could not be started.\n\n"
                  "Everything else was stored. Press OK to try again, or Cancel to close the "
                  "settings."});

    // A configuration write that fails after a refused setting is one more line of the box.
    mem.dialogs.shown.clear();
    mem.registry.failingValueNames.insert("MouseDelay");
    ASSERT_EQ(Ok(), OkOutcome::NotAllStored);
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    const std::string& box = mem.dialogs.shown[0].text;
    EXPECT_NE(box.find("ScreenSaveTimeOut"), std::string::npos) << box;
    EXPECT_NE(box.find("The Quorvanes settings: "), std::string::npos) << box;
    EXPECT_NE(box.find("MouseDelay"), std::string::npos) << box;
    EXPECT_EQ(box.find("SCRNSAVE.EXE"), std::string::npos) << "the steps after it did not run";

    // Alone it is thrown, as before, for the dialog to show.
    mem.system.timeoutRefused.reset();
    mem.dialogs.shown.clear();
    EXPECT_THROW(Ok(), config::ConfigError);
    EXPECT_TRUE(mem.dialogs.shown.empty());
}

// The picture show's modes: read when the dialog opens (an odd stored text is the default),
// written as REG_SZ digits at OK with the other options, and a failed write is reported as
// theirs is: alone it is thrown naming the value, after a refused setting it joins the box.
TEST_F(OkTest, PictureShowModesAreReadAtTheOpeningAndStoredWithTheRestAtOk) {
    EXPECT_EQ(start.showModes, config::ShowModes{}) << "nothing stored: the show as it was";
    EXPECT_FALSE(
        mem.registry.Query(RegRoot::CurrentUser, config::kKeyPath, config::value::PictureSize))
        << "the opening stores no mode: a Cancel leaves them as they were";
    SetUser(config::value::PictureSize, "1");
    SetUser(config::value::Monitors, "2");
    SetUser(config::value::Crossfade, "yes");
    const config::ShowModes read = FormCreate(mem.platform()).showModes;
    EXPECT_EQ(read.size, config::PictureSize::FillMonitor);
    EXPECT_EQ(read.monitors, config::MonitorUse::NextOnEach);
    EXPECT_FALSE(read.crossfade) << "an odd text is the default";

    choice.showModes = {config::PictureSize::OwnSize, config::MonitorUse::SameOnEach, true};
    ASSERT_EQ(Ok(), OkOutcome::Applied);
    for (const auto& [name, text] :
         {std::pair{config::value::PictureSize, "0"}, std::pair{config::value::Monitors, "1"},
          std::pair{config::value::Crossfade, "1"}}) {
        const auto stored = mem.registry.Query(RegRoot::CurrentUser, config::kKeyPath, name);
        ASSERT_TRUE(stored.has_value()) << name;
        EXPECT_EQ(stored->type, RegType::String) << name;
        EXPECT_EQ(stored->data, std::string(text) + '\0') << name;
    }
    EXPECT_EQ(FormCreate(mem.platform()).showModes, choice.showModes) << "read back as stored";

    mem.registry.failingValueNames.insert("Monitors");
    try {
        (void)Ok();
        ADD_FAILURE() << "a failed write of a mode was taken for stored";
    } catch (const config::ConfigError& error) {
        EXPECT_NE(std::string(error.what()).find("Monitors"), std::string::npos) << error.what();
    }
    mem.system.timeoutRefused = "Access is denied.";
    ASSERT_EQ(Ok(), OkOutcome::NotAllStored);
    const std::string box = mem.dialogs.Texts().back();
    EXPECT_EQ(box.rfind("These settings could not be stored:", 0), 0u) << box;
    EXPECT_NE(box.find("Monitors"), std::string::npos) << box;
}

}  // namespace
}  // namespace qv::settings
