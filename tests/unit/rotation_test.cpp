#include "config/rotation.h"

#include <gtest/gtest.h>

#include "config/names.h"
#include "config/title_list.h"
#include "platform/memory/memory_platform.h"

namespace qv::config {
namespace {

using platform::RegRoot;
using platform::memory::MemoryPlatform;

class RotationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::TesselsDir, "C:\\Tessels");
        mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::InstallLocation,
                               "C:\\Program Files\\Quorvanes\\Quorvanes.scr");
        mem.files.AddFile("C:\\Program Files\\Quorvanes\\Quorvanes.scr",
                          "C:\\PROGRA~1\\QUORVA~1\\QUORVA~1.SCR");
    }
    void AddSystemSaver(const std::string& name, const std::string& shortName) {
        mem.files.AddFile("C:\\WINDOWS\\SYSTEM\\" + name + ".scr",
                          "C:\\WINDOWS\\SYSTEM\\" + shortName);
    }
    void AddTessel(const std::string& name) { mem.files.AddFile("C:\\Tessels\\" + name + ".tsl"); }
    void SetUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, kKeyPath, name, text);
    }
    std::string User(std::string_view name) const { return store.ReadUserValue(name); }
    Rotation WithTray(bool trayRunning) const {
        return Rotation(mem.platform(), store, trayRunning);
    }

    MemoryPlatform mem;
    ConfigStore store{mem.registry, nullptr};
};

TEST_F(RotationTest, SaverAfterTheCurrentOneIsChosenAndRecorded) {
    AddSystemSaver("One", "ONE.SCR");
    AddSystemSaver("Two", "TWO.SCR");
    AddSystemSaver("Three Wide", "THREEW~1.SCR");
    SetUser(value::Saver, EncodeTitleList({"1One", "1Two", "1Three Wide"}));
    SetUser(value::CurrentSaver, "1Two");
    EXPECT_EQ(WithTray(true).NextRotationSaver(), "C:\\WINDOWS\\SYSTEM\\THREEW~1.SCR");
    EXPECT_EQ(User(value::CurrentSaver), "1Three Wide");
}

TEST_F(RotationTest, EndOfTheSaverListEmptiesThePositionAndTheNextCallStartsOver) {
    AddSystemSaver("One", "ONE.SCR");
    AddSystemSaver("Two", "TWO.SCR");
    SetUser(value::Saver, "1One,1Two");
    SetUser(value::CurrentSaver, "1Two");
    const auto rotation = WithTray(true);
    EXPECT_EQ(rotation.NextRotationSaver(), "");
    EXPECT_EQ(User(value::CurrentSaver), "");
    EXPECT_EQ(rotation.NextRotationSaver(), "C:\\WINDOWS\\SYSTEM\\ONE.SCR");
}

TEST_F(RotationTest, MissingSaverFileIsPassedOverAtNoCost) {
    AddSystemSaver("One", "ONE.SCR");
    AddSystemSaver("Three", "THREE.SCR");
    SetUser(value::Saver, "1One,1Deleted,1Three");
    SetUser(value::CurrentSaver, "1One");
    EXPECT_EQ(WithTray(true).NextRotationSaver(), "C:\\WINDOWS\\SYSTEM\\THREE.SCR");
    EXPECT_EQ(User(value::CurrentSaver), "1Three");
}

TEST_F(RotationTest, PositionInAnotherCaseStillFindsItsPlace) {
    AddSystemSaver("One", "ONE.SCR");
    AddSystemSaver("Two", "TWO.SCR");
    SetUser(value::Saver, "1One,1Two");
    SetUser(value::CurrentSaver, "1ONE");
    EXPECT_EQ(WithTray(true).NextRotationSaver(), "C:\\WINDOWS\\SYSTEM\\TWO.SCR");
}

TEST_F(RotationTest, PositionNoLongerInTheListStartsAtTheFirstEntry) {
    AddSystemSaver("One", "ONE.SCR");
    SetUser(value::Saver, "1One");
    SetUser(value::CurrentSaver, "1Gone");
    EXPECT_EQ(WithTray(true).NextRotationSaver(), "C:\\WINDOWS\\SYSTEM\\ONE.SCR");
}

TEST_F(RotationTest, DirectoryDigitPicksTheFolderAndAnyOtherMeansSystem) {
    mem.files.AddFile("C:\\WINDOWS\\Win.scr", "C:\\WINDOWS\\WIN.SCR");
    AddSystemSaver("Odd", "ODD.SCR");
    SetUser(value::Saver, "0Win,7Odd");
    const auto rotation = WithTray(true);
    EXPECT_EQ(rotation.NextRotationSaver(), "C:\\WINDOWS\\WIN.SCR");
    EXPECT_EQ(rotation.NextRotationSaver(), "C:\\WINDOWS\\SYSTEM\\ODD.SCR");
}

TEST_F(RotationTest, EmptySaverListWritesNothing) {
    EXPECT_EQ(WithTray(true).NextRotationSaver(), "");
    EXPECT_EQ(mem.registry.WriteCount(), 0u);
}

TEST_F(RotationTest, HandEditedEmptyEntriesArePassedOver) {
    AddSystemSaver("One", "ONE.SCR");
    SetUser(value::Saver, ",,1One");
    EXPECT_EQ(WithTray(true).NextRotationSaver(), "C:\\WINDOWS\\SYSTEM\\ONE.SCR");
}

TEST_F(RotationTest, TesselListWrapsOnlyWithoutTheTrayProgram) {
    AddTessel("Alpha");
    AddTessel("Beta");
    SetUser(value::Tessel, "Alpha,Beta");
    SetUser(value::CurrentTessel, "Beta");
    EXPECT_EQ(WithTray(true).NextRotationTessel(), "");
    EXPECT_EQ(User(value::CurrentTessel), "");

    SetUser(value::CurrentTessel, "Beta");
    EXPECT_EQ(WithTray(false).NextRotationTessel(), "C:\\PROGRA~1\\QUORVA~1\\QUORVA~1.SCR");
    EXPECT_EQ(User(value::CurrentTessel), "Alpha");
}

TEST_F(RotationTest, TesselResultFallsBackWhenTheSaverHostHasNoShortPath) {
    AddTessel("Alpha");
    SetUser(value::Tessel, "Alpha");
    mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::InstallLocation,
                           "C:\\Moved\\Quorvanes.scr");
    EXPECT_EQ(WithTray(true).NextRotationTessel(), "C:\\Moved\\Quorvanes.scr");
    mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::InstallLocation, "");
    SetUser(value::CurrentTessel, "");
    EXPECT_EQ(WithTray(true).NextRotationTessel(), "C:\\Tessels\\Alpha.tsl")
        << "a Tessel that exists is never reported as none";
}

TEST_F(RotationTest, FirstTesselNamesTheFirstListedFileAndWritesNothing) {
    SetUser(value::Tessel, "Alpha,Other");
    SetUser(value::CurrentSaver, "1One");
    const auto writes = mem.registry.WriteCount();
    EXPECT_EQ(WithTray(false).FirstTessel(), "") << "no file yet";
    AddTessel("My Pictures.v2");
    AddTessel("Alpha");
    EXPECT_EQ(WithTray(false).FirstTessel(), "My Pictures.v2")
        << "the listing's own order, not sorted; only the last extension goes";
    EXPECT_EQ(WithTray(true).FirstTessel(), "My Pictures.v2");
    EXPECT_EQ(mem.registry.WriteCount(), writes) << "the user's list and the positions stay";
}

// What "*.tsl" lists besides Tessels: a folder of that name, and a file whose short name
// ends in .TSL. Neither is taken, so the start can say that none was found.
TEST_F(RotationTest, FirstTesselTakesOnlyAFileWhoseOwnNameEndsInTsl) {
    mem.files.AddFolder("C:\\Tessels\\Archive.tsl");
    mem.files.AddFile("C:\\Tessels\\Archive.tslx", "C:\\Tessels\\ARCHIV~1.TSL");
    EXPECT_EQ(WithTray(false).FirstTessel(), "");
    AddTessel("Zed");
    mem.files.AddFile("C:\\Tessels\\Upper.TSL");
    EXPECT_EQ(WithTray(false).FirstTessel(), "Zed");
}

}  // namespace
}  // namespace qv::config
