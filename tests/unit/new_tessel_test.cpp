#include "settings/new_tessel.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_text.h"

namespace qv::settings {
namespace {

constexpr char kUsers[] = "C:\\Users\\user\\AppData\\Local\\Quorvanes\\Tessels";
const config::TesselFolders kFolders{"C:\\Program Files\\Quorvanes\\Tessels", kUsers};

// What the form is refused for, in the order it is checked; a sound form makes the user's
// folder level by level and names a target there, fitted as chosen, links trimmed.
TEST(NewTessel, RefusalsThenATargetInTheUsersFolderFittedAsChosen) {
    platform::memory::MemoryFiles files;
    files.AddFile(std::string(kFolders.installation) + "\\Harbour.tsl");
    const making::FitBox largest{2560, 1440};
    const auto refusal = [&](NewTesselForm form, const config::TesselFolders& folders = kFolders) {
        return PlanNewTessel(files, folders, form, largest).refusal;
    };
    EXPECT_EQ(refusal({.folder = "  ", .name = "Mine"}),
              "Choose the folder that holds the pictures.");
    EXPECT_EQ(refusal({.folder = "D:\\Photos", .name = " "}), "Give the new Tessel a name.");
    for (const char* bad : {"a\\b", "..", "x:", "end.", "tab\tin"}) {
        EXPECT_NE(refusal({.folder = "D:\\Photos", .name = bad}), "") << bad;
    }
    EXPECT_EQ(refusal({.folder = "D:\\Photos", .name = "harbour"}),
              "This computer's installation has a Tessel named 'harbour' already, which would be "
              "shown instead of yours. Choose another name.");
    EXPECT_EQ(refusal({.folder = "D:\\Photos", .name = "Mine"}, {kFolders.installation, ""}),
              "This computer gives no folder for your own Tessels.");
    files.uncreatable.insert("c:\\users\\user\\appdata\\local\\quorvanes");
    EXPECT_NE(refusal({.folder = "D:\\Photos", .name = "Mine"}), "");
    files.uncreatable.clear();

    NewTesselForm form{.folder = " D:\\Photos ", .name = " Mine ", .size = SizeChoice::LinkLayout};
    form.links[1] = "  https://example.org/  ";
    NewTesselPlan plan = PlanNewTessel(files, kFolders, form, largest);
    ASSERT_EQ(plan.refusal, "");
    EXPECT_TRUE(files.FolderExists(kUsers));
    EXPECT_EQ(plan.request.target, std::string(kUsers) + "\\Mine.tsl");
    EXPECT_EQ(plan.folder, "D:\\Photos");
    ASSERT_TRUE(plan.request.fit);
    EXPECT_EQ(plan.request.fit->width, 640);
    EXPECT_EQ(plan.request.links[1], "https://example.org/");
    EXPECT_FALSE(plan.replaces);
    form.size = SizeChoice::LargestMonitor;
    EXPECT_EQ(PlanNewTessel(files, kFolders, form, largest).request.fit->height, 1440);
    form.size = SizeChoice::OwnSize;
    files.AddFile(std::string(kUsers) + "\\Mine.tsl");
    plan = PlanNewTessel(files, kFolders, form, largest);
    EXPECT_FALSE(plan.request.fit);
    EXPECT_TRUE(plan.replaces);

    // The user hears what was left out, by name, and why a replacement failed.
    making::MakeResult made{making::MakeStatus::Made, 4, {{"D:\\Photos\\bad.jpg", "damaged"}}, ""};
    EXPECT_EQ(MakeOutcomeText(plan, made),
              "'Mine' is made of 4 pictures.\n\nThese pictures could not be read and were left "
              "out:\nbad.jpg: damaged");
    made.status = making::MakeStatus::NoReadablePicture;
    EXPECT_EQ(MakeOutcomeText(plan, made),
              "No picture of the folder could be read, so no Tessel was made:\nbad.jpg: damaged");
    made.status = making::MakeStatus::WriteFailed;
    made.reason = "Access is denied.";
    EXPECT_EQ(MakeOutcomeText(plan, made),
              "'Mine' cannot be replaced: a running screen saver may be showing it. End the show "
              "and try again.\n\nAccess is denied.");
    made.status = making::MakeStatus::Cancelled;
    EXPECT_EQ(MakeOutcomeText(plan, made), "");
}

// The list read anew keeps what the user checked and not yet stored, and checks the new row.
TEST(NewTessel, TheNewRowIsCheckedAndTheUsersUnstoredChecksStay) {
    platform::memory::MemoryTextRules text;
    const CheckList shown{{{"Alps", true}, {"Harbour", false}}};
    const auto with =
        WithNewTessel(shown, {{{"Alps", false}, {"Harbour", true}, {"mine", false}}}, "Mine", text);
    EXPECT_EQ(with.row, 2);
    ASSERT_EQ(with.list.rows.size(), 3u);
    EXPECT_TRUE(with.list.rows[0].checked);
    EXPECT_FALSE(with.list.rows[1].checked) << "as shown, not as stored";
    EXPECT_TRUE(with.list.rows[2].checked);
}

}  // namespace
}  // namespace qv::settings
