#include "config/tessel_folders.h"

#include <gtest/gtest.h>

#include "config/names.h"
#include "config/rotation.h"
#include "platform/memory/memory_platform.h"
#include "settings/options.h"
#include "settings/title_actions.h"

namespace qv::config {
namespace {

using platform::RegRoot;
using platform::memory::MemoryPlatform;

constexpr char kInstalled[] = "C:\\Program Files\\Quorvanes\\Tessels";
constexpr char kUsers[] = "C:\\Users\\user\\AppData\\Local\\Quorvanes\\Tessels";

class TesselFoldersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::TesselsDir, kInstalled);
        mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::InstallLocation,
                               "C:\\Program Files\\Quorvanes\\Quorvanes.scr");
    }
    void SetUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, kKeyPath, name, text);
    }
    std::vector<std::string> Titles(const settings::CheckList& list) {
        std::vector<std::string> titles;
        for (const auto& row : list.rows) {
            titles.push_back(row.text + (row.checked ? "+" : ""));
        }
        return titles;
    }

    MemoryPlatform mem;
    ConfigStore store{mem.registry, nullptr};
};

// Everything that looks for a Tessel by its title agrees: the list, the rotation and delete
// see both folders, and a title in both is the installation's file.
TEST_F(TesselFoldersTest, BothFoldersAreListedFoundRotatedAndDeletedTheInstallationsFirst) {
    mem.files.AddFile(std::string(kInstalled) + "\\Harbour.tsl");
    mem.files.AddFile(std::string(kInstalled) + "\\Both.tsl");
    mem.files.AddFile(std::string(kUsers) + "\\both.tsl");
    mem.files.AddFile(std::string(kUsers) + "\\Attic.tsl");
    mem.files.AddFolder(std::string(kUsers) + "\\Folder.tsl");
    mem.files.AddFile(std::string(kUsers) + "\\Archive.tslx",
                      std::string(kUsers) + "\\ARCHIV~1.TSL");

    const TesselFolders folders = TesselFoldersOf(store, mem.files);
    EXPECT_EQ(folders.user, kUsers);
    const auto found = ListTessels(mem.files, mem.text, folders);
    ASSERT_EQ(found.size(), 3u) << "a folder and a short name are no Tessels; Both only once";
    EXPECT_EQ(found[1].path, std::string(kInstalled) + "\\Both.tsl");
    EXPECT_TRUE(found[2].users);
    EXPECT_EQ(FindTessel(mem.files, folders, "Both"), std::string(kInstalled) + "\\Both.tsl");
    EXPECT_EQ(FindTessel(mem.files, folders, "Attic"), std::string(kUsers) + "\\Attic.tsl");
    EXPECT_EQ(FindTessel(mem.files, folders, "Folder"), std::nullopt);
    EXPECT_EQ(FindTessel(mem.files, folders, ""), std::nullopt);

    SetUser(value::Tessel, "Gone,Attic");
    SetUser(value::CurrentTessel, "Gone");
    EXPECT_EQ(Rotation(mem.platform(), store, true).NextRotationTessel(),
              "C:\\Program Files\\Quorvanes\\Quorvanes.scr")
        << "a Tessel of the user's folder is a Tessel of the rotation";
    EXPECT_EQ(store.ReadUserValue(value::CurrentTessel), "Attic");

    const settings::OptionsStart start = settings::FormCreate(mem.platform());
    EXPECT_EQ(Titles(start.tessels), (std::vector<std::string>{"Attic+", "Both", "Harbour"}));
    settings::Lists lists{start.savers, start.tessels, start.preshows};
    mem.dialogs.answers = {platform::Answer::Yes};
    const auto rebuilt = settings::DeleteTitle(
        mem.platform(), start, settings::TitleTarget(settings::TitleKind::Tessel, lists.tessels, 0),
        lists);
    ASSERT_TRUE(rebuilt);
    EXPECT_FALSE(mem.files.FileExists(std::string(kUsers) + "\\Attic.tsl"));
    EXPECT_EQ(Titles(rebuilt->tessels), (std::vector<std::string>{"Both", "Harbour"}));
}

// Without an installation folder, or without a local application data folder, the other
// folder serves alone; neither turns into a path at the root of a drive.
TEST_F(TesselFoldersTest, AMissingFolderIsPassedOverAndTheUsersFolderIsMadeLevelByLevel) {
    mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::TesselsDir, "");
    mem.files.AddFile("\\Rooted.tsl");
    mem.files.AddFile(std::string(kUsers) + "\\Attic.tsl");
    EXPECT_EQ(Rotation(mem.platform(), store, true).FirstTessel(), "Attic");
    EXPECT_EQ(FindTessel(mem.files, TesselFoldersOf(store, mem.files), "Rooted"), std::nullopt);

    mem.files.localAppDataDir = "";
    EXPECT_EQ(UserTesselsDir(mem.files), "");
    EXPECT_EQ(Rotation(mem.platform(), store, true).FirstTessel(), "");

    mem.files.localAppDataDir = "D:\\Local\\";
    ASSERT_EQ(UserTesselsDir(mem.files), "D:\\Local\\Quorvanes\\Tessels");
    EXPECT_TRUE(mem.files.CreateFolder(UserTesselsDir(mem.files)));
    EXPECT_TRUE(mem.files.FolderExists("D:\\Local\\Quorvanes"));
    EXPECT_TRUE(mem.files.CreateFolder("D:\\Local\\Quorvanes\\Tessels")) << "made already";
    mem.files.AddFile("E:\\Quorvanes");
    EXPECT_FALSE(mem.files.CreateFolder("E:\\Quorvanes\\Tessels")) << "a file in the way";
}

}  // namespace
}  // namespace qv::config
