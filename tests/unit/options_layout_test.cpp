// The settings window's layout table (portable data, read natively).
#include "settings/win32/options_layout.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qv::settings::win32
