// The settings window's layout table (portable data, read natively).
#include "settings/win32/options_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "settings/win32/picture_show_layout.h"

namespace qv::settings::win32 {
namespace {

const ControlLayout& Find(int id) {
    for (const ControlLayout& control : kControls) {
        if (control.id == id) {
            return control;
        }
    }
    ADD_FAILURE() << "no control " << id;
    return kControls[0];
}

// Label2 alone is centred vertically and horizontally; the other centred labels
// are centred across only.
TEST(OptionsLayout, Label2AloneIsCentredBothWays) {
    const ControlLayout& label2 = Find(id::kLabel2);
    EXPECT_NE(label2.look & look::kCentred, 0u);
    EXPECT_NE(label2.look & look::kMiddle, 0u);
    EXPECT_NE(label2.look & look::kWordWrap, 0u);
    for (const ControlLayout& control : kControls) {
        if (control.id != id::kLabel2) {
            EXPECT_EQ(control.look & look::kMiddle, 0u) << control.name;
        }
    }
    for (const int id : {id::kLabel5, id::kLabel1, id::kLabel4, id::kLabel6}) {
        EXPECT_NE(Find(id).look & look::kCentred, 0u) << Find(id).name;
    }
}

TEST(OptionsLayout, MiddleTopLeavesAsMuchBelowTheTextAsAbove) {
    EXPECT_EQ(MiddleTop(33, 28), 2) << "two lines of 14 pixels in Label2's 33: 2 above, 3 below";
    EXPECT_EQ(MiddleTop(50, 42), 4) << "the same at 144 DPI";
    EXPECT_EQ(MiddleTop(33, 14), 9);
    EXPECT_EQ(MiddleTop(33, 33), 0);
    EXPECT_EQ(MiddleTop(33, 70), 0) << "text higher than the control starts at its top";
}

bool Overlap(const Place& a, const Place& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

bool Inside(const Place& inner, const Place& outer) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

// The access keys of a table's rows, lower case; a repeated one fails.
void ExpectDistinctAccessKeys(ui::win32::ControlTable table) {
    std::set<char> keys;
    for (const ControlLayout& row : table) {
        const auto amp = row.text.find('&');
        if (amp != std::string_view::npos && amp + 1 < row.text.size()) {
            const char key = static_cast<char>(std::tolower(row.text[amp + 1]));
            EXPECT_TRUE(keys.insert(key).second) << row.name << " repeats the access key " << key;
        }
    }
}

// The picture show's button was put where the settings window had room: it covers no
// control, lies in the window, and its access key is its own.
TEST(OptionsLayout, ThePictureShowButtonLiesInFreeRoomWithAKeyOfItsOwn) {
    const ControlLayout& button = Find(id::kPictureShow);
    EXPECT_TRUE(Inside(WindowPlace(button), {0, 0, kClientWidth, kClientHeight}));
    for (const ControlLayout& control : kControls) {
        if (control.id != id::kPictureShow && control.parent == 0) {
            EXPECT_FALSE(Overlap(WindowPlace(button), WindowPlace(control))) << control.name;
        }
    }
    ExpectDistinctAccessKeys(kControls);
}

// Every choice lies in its group and the groups and buttons in the window without
// overlapping; each row has its own id of the dialog's range (OK and Cancel aside) and its
// own access key, and each choice is heard with its group's name.
TEST(PictureShowLayout, ChoicesInTheirGroupsEachWithItsIdKeyAndName) {
    namespace ps = picture_show;
    const Place client{0, 0, ps::kClientWidth, ps::kClientHeight};
    std::set<int> ids;
    for (const ControlLayout& row : ps::kControls) {
        EXPECT_TRUE(ids.insert(row.id).second) << row.name;
        EXPECT_TRUE((row.id >= 3201 && row.id <= 3299) || row.id == 1 || row.id == 2) << row.name;
        const Place place = ui::win32::WindowPlace(ps::kControls, row);
        EXPECT_TRUE(Inside(place, client)) << row.name;
        if (row.parent != 0) {
            const ControlLayout& group =
                *std::find_if(ps::kControls.begin(), ps::kControls.end(),
                              [&](const ControlLayout& g) { return g.id == row.parent; });
            EXPECT_TRUE(Inside(place, ui::win32::WindowPlace(ps::kControls, group))) << row.name;
            EXPECT_EQ(row.kind, ControlKind::CheckBox) << row.name;
            EXPECT_EQ(row.accessibleName.rfind(std::string(group.text) + ": ", 0), 0u) << row.name;
        }
        for (const ControlLayout& other : ps::kControls) {
            if (&other != &row && other.parent == 0 && row.parent == 0) {
                EXPECT_FALSE(Overlap(place, other.place)) << row.name << " and " << other.name;
            }
        }
    }
    ExpectDistinctAccessKeys(ps::kControls);
}

}  // namespace
}  // namespace qv::settings::win32
