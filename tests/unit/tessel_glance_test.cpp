#include "settings/tessel_glance.h"

#include <gtest/gtest.h>

#include "pe/pe_writer.h"
#include "platform/memory/memory_platform.h"
#include "test_jpegs.h"

namespace qv::settings {
namespace {

using testing::JpegOptions;
using testing::MakeJpeg;

constexpr char kPath[] = "C:\\Tessels\\Harbour.tsl";

// A Tessel whose first picture is turned (orientation 6: it stands upright as 300 x 400),
// with a smaller picture, a damaged one and an entry that is no picture; two links, one of
// them no web address.
TEST(TesselGlance, ThumbnailUprightAndFittedPicturesCountedAndSizedLinksByHost) {
    pe::ResourceLibraryLayout layout;
    layout.rcdata.push_back(
        {"AJPEG", testing::WithSegment(MakeJpeg(JpegOptions{.width = 400, .height = 300}),
                                       testing::ExifSegment(6, true))});
    layout.rcdata.push_back({"BJPEG", MakeJpeg(JpegOptions{.width = 64, .height = 48})});
    layout.rcdata.push_back({"CJPEG", {'n', 'o', 'p', 'e'}});
    layout.rcdata.push_back({"NOTES", {'x'}});
    layout.strings[2] = "https://user@www.Example.org:8080/harbour?x=1";
    layout.strings[5] = "mailto:someone@example.org";
    platform::memory::MemoryFiles files;
    files.AddFileBytes(kPath, pe::WriteResourceLibrary(layout));

    const TesselGlance glance = GlanceAt(files, kPath);
    ASSERT_TRUE(glance.thumbnail);
    EXPECT_EQ(glance.thumbnail->width, 120) << "upright, 160 high";
    EXPECT_EQ(glance.thumbnail->height, 160);
    EXPECT_EQ(glance.pictures, 3u);
    EXPECT_EQ(GlanceText("Harbour", glance),
              "Harbour\n3 pictures, 64 x 48 to 400 x 300\n"
              "It is damaged: 1 of its 3 pictures cannot be read.\n"
              "Link 2: www.Example.org (https://user@www.Example.org:8080/harbour?x=1)\n"
              "Link 5: not a web address (mailto:someone@example.org)");

    EXPECT_EQ(LinkHost("http://[2001:db8::1]:80/"), "[2001:db8::1]");
    EXPECT_EQ(LinkHost("HTTP://example.net"), "example.net");
    EXPECT_EQ(LinkHost("javascript:alert(1)//x"), "");
}

// What is no sound Tessel says so instead of failing the tip: a missing file, a file that is
// no library, a library without pictures, one whose first picture cannot be read. A small
// first picture is never enlarged.
TEST(TesselGlance, WhatCannotBeShownSaysWhyAndASmallPictureStaysSmall) {
    platform::memory::MemoryFiles files;
    EXPECT_EQ(GlanceAt(files, kPath).damage, "The file cannot be opened.");
    files.AddFileBytes(kPath, {'M', 'Z', 1, 2, 3});
    EXPECT_EQ(GlanceText("Harbour", GlanceAt(files, kPath)),
              "Harbour\nIt is damaged: the file is not a Tessel.\nNo links.");
    files.AddFileBytes(kPath, pe::WriteResourceLibrary({}));
    EXPECT_EQ(GlanceAt(files, kPath).damage, "It holds no pictures.");

    pe::ResourceLibraryLayout layout;
    layout.rcdata.push_back({"AJPEG", {'n', 'o'}});
    layout.rcdata.push_back({"BJPEG", MakeJpeg(JpegOptions{.width = 40, .height = 30})});
    files.AddFileBytes(kPath, pe::WriteResourceLibrary(layout));
    EXPECT_EQ(GlanceText("Harbour", GlanceAt(files, kPath)),
              "Harbour\n2 pictures, 40 x 30\nIt is damaged: its first picture cannot be read.\n"
              "No links.");

    layout.rcdata[0].name = "CJPEG";  // the directory's order is the names' order
    files.AddFileBytes(kPath, pe::WriteResourceLibrary(layout));
    const TesselGlance small = GlanceAt(files, kPath);
    ASSERT_TRUE(small.thumbnail);
    EXPECT_EQ(small.thumbnail->width, 40);
}

}  // namespace
}  // namespace qv::settings
