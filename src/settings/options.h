// The settings dialog's rules, apart from its window: what it reads when it opens (the
// three check lists and the options), the lists turned back into stored values, and OK's
// steps. The Win32 window shows what these give and hands back what the user chose.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/entries.h"
#include "config/reg_ini_file.h"
#include "config/show_modes.h"
#include "platform/ports.h"

namespace qv::settings {

namespace text {
inline constexpr std::string_view NoSavers = "No ScreenSavers Found.";
inline constexpr std::string_view NoTessels = "No Quorvanes Found.";
inline constexpr std::string_view NoPreshows = "No Preshows Found.";
inline constexpr std::string_view PasswordReadFailed =
    "Unable to read Password Enabled key in registry";
inline constexpr std::string_view BadWaitTime =
    "The waiting time must be a whole number of minutes from 1 to 60.";
// OK stored everything, then the tray program, which puts the choice in service, did not
// start: without it no rotation runs.
inline constexpr std::string_view TrayNotStarted =
    "Your settings were saved, but the Quorvanes tray program (QVTIcon.exe) could not be "
    "started. The screen saver rotation starts with it the next time you log on.";
// OK could not store every setting: the box lists each with the system's reason.
inline constexpr std::string_view NotAllStoredHead = "These settings could not be stored:";
inline constexpr std::string_view NotAllStoredTail =
    "Everything else was stored. Press OK to try again, or Cancel to close the settings.";
inline constexpr std::string_view TrayProgramSetting = "The tray program (QVTIcon.exe)";
inline constexpr std::string_view TrayProgramNotStarted = "it could not be started.";
inline constexpr std::string_view ConfigurationSetting = "The Quorvanes settings";
}  // namespace text

// The web pages the dialogs open. Until the product has its own site, they lie under a
// domain reserved for examples.
inline constexpr std::string_view kProductSiteHost = "quorvanes.example.com";
inline constexpr std::string_view kProductSite = "https://quorvanes.example.com/";
inline constexpr std::string_view kEmailListPage = "https://quorvanes.example.com/email-list";
// What a click on the customer picture opens unless CustInfo.dll names another address.
inline constexpr std::string_view kDefaultCustomerLink = "https://quorvanes.example.com/info";
inline constexpr std::string_view kCustInfoLibrary = "\\CustInfo.dll";
inline constexpr std::string_view kTrayProgram = "\\QVTIcon.exe";

inline constexpr int kViewTimeItems = 16;   // "5" to "20"
inline constexpr int kMouseDelayItems = 8;  // "3" to "10"
inline constexpr int kWaitMinutesLeast = 1;
inline constexpr int kWaitMinutesMost = 60;

// A check list's rows in list order (sorted as the list sorts them).
struct CheckRow {
    std::string text;
    bool checked = false;
};

struct CheckList {
    std::vector<CheckRow> rows;
    // A list whose row 0 is its placeholder counts as empty.
    [[nodiscard]] bool ShowsOnly(std::string_view placeholder) const;
};

// One row of the saver list: the file name without ".scr" and its folder (FSaverFiles).
struct SaverFile {
    std::string name;
    config::SaverFolder folder = config::SaverFolder::Windows;
};

// The saver list and FSaverFiles, parallel: row i is the description of files[i].
struct SaverList {
    CheckList list;
    std::vector<SaverFile> files;
};

// The lists as the dialog fills them at creation and after a delete.
CheckList InitLstQuorvanes(const platform::Platform& platform, const config::RegIniFile& regIni,
                           std::string_view tesselsDir);
SaverList InitLstScreenSavers(const platform::Platform& platform, const config::RegIniFile& regIni,
                              bool isNT);
CheckList InitLstPreshows(const platform::Platform& platform, std::string_view tesselsDir);

// The lists turned into stored values; each returns how many titles were checked.
int SaveSelectedQuorvanes(const CheckList& tessels, config::RegIniFile& regIni);
int SaveSelectedScreenSavers(const SaverList& savers, config::RegIniFile& regIni);
void SaveSelectedPreshow(const CheckList& preshows, config::RegIniFile& regIni);

// What the dialog shows when it opens (FormCreate).
struct OptionsStart {
    bool isNT = false;
    int waitMinutes = kWaitMinutesMost;
    bool passwordOn = false;
    std::string tesselsDir;
    std::string customerLink{kDefaultCustomerLink};
    // JPEG pictures from CustInfo.dll; nullopt keeps the built-in one.
    std::optional<std::vector<std::uint8_t>> customerPicture;
    std::optional<std::vector<std::uint8_t>> productPicture;
    CheckList tessels;
    SaverList savers;
    CheckList preshows;
    std::optional<int> viewTimeIndex;  // nullopt: the stored index is outside the list
    std::optional<int> mouseDelayIndex;
    config::ShowModes showModes;  // how the picture show uses the monitors
};

// Reads everything in FormCreate's order; counts the opening in LogoIMP.
OptionsStart FormCreate(const platform::Platform& platform);

// What the user chose, read from the controls when OK is pressed.
struct OptionsChoice {
    CheckList tessels;
    SaverList savers;
    CheckList preshows;
    std::optional<int> viewTimeIndex;
    std::optional<int> mouseDelayIndex;
    bool passwordOn = false;
    std::string waitText;  // the spin field's text
    config::ShowModes showModes;
};

// Applied: everything stored, the dialog closes. Otherwise the user was told why, and the
// dialog stays open.
enum class OkOutcome { Applied, WaitTimeRefused, NotAllStored };

class TesselPreviewGuard;  // settings/tessel_preview.h

// The waiting time as a whole number of minutes from 1 to 60; nullopt for anything else.
std::optional<int> ParseWaitMinutes(std::string_view text);

// OK's steps: the password option, the waiting time, the titles and options (the picture
// show's modes among them, written as the other options are), the system
// screen saver, and the tray program restarted (exactly one runs afterwards). A waiting
// time that is no whole number from 1 to 60 is refused with a message before anything is
// stored, and the dialog stays open. A system setting that cannot be stored (the password
// option, the waiting time, SCRNSAVE.EXE, screen saving switched on) does not stop the
// others: once every step has run, one box names each with the system's reason, and the
// outcome is NotAllStored. Throws config::ConfigError when a write through the
// configuration view fails (the error names the value, and the remaining steps are not
// run); when a system setting had failed before it, the error is one more line of that box
// instead.
// With `previews`, a Tessel preview still out is settled before the titles are stored: its
// values come back first and are never written over what OK stores.
OkOutcome ApplySettings(const platform::Platform& platform, const OptionsStart& start,
                        const OptionsChoice& choice, TesselPreviewGuard* previews = nullptr);

}  // namespace qv::settings
