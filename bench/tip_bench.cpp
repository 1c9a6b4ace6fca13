// The tip over a Tessel row against a whole decode of the Tessel's first picture: the tip
// opens the Tessel, reads each picture's header and decodes the first at 1/8 of its size
// for the thumbnail (at most 160 wide), where showing the picture whole would decode all of
// it. A Tessel of one 4000 x 3000 photograph. Prints the medians and the ratio with its
// goal; exits 1 when the goal is missed and --enforce is given.
#include <cstdio>
#include <cstring>

#include "bench_support.h"
#include "imaging/jpeg_decoder.h"
#include "pe/pe_writer.h"
#include "platform/memory/memory_platform.h"
#include "settings/tessel_glance.h"
#include "test_jpegs.h"

int main(int argc, char** argv) {
    const bool enforce = argc > 1 && std::strcmp(argv[1], "--enforce") == 0;
    qv::bench::Goals goals;
    const auto photo =
        qv::testing::MakeJpeg({.width = 4000, .height = 3000, .quality = 90, .smooth = true});
    qv::pe::ResourceLibraryLayout layout;
    layout.rcdata.push_back({"PHOTOJPEG", photo});
    layout.strings[1] = "https://www.example.org/photo";
    qv::platform::memory::MemoryFiles files;
    files.AddFileBytes("C:\\Tessels\\Photo.tsl", qv::pe::WriteResourceLibrary(layout));

    qv::settings::TesselGlance glance;
    qv::imaging::Frame whole;
    const auto [tipMs, wholeMs] = qv::bench::MedianMsInTurns(
        9, [&] { glance = qv::settings::GlanceAt(files, "C:\\Tessels\\Photo.tsl"); },
        [&] { qv::imaging::DecodeJpeg(photo, whole); });
    if (!glance.thumbnail || glance.thumbnail->width > qv::settings::kThumbnailMaxWidth) {
        std::printf("the tip made no thumbnail of at most %d pixels\n",
                    qv::settings::kThumbnailMaxWidth);
        return 1;
    }
    std::printf(
        "tip of a 4000 x 3000 picture (%d x %d thumbnail) %.1f ms, its whole decode %.1f ms\n",
        glance.thumbnail->width, glance.thumbnail->height, tipMs, wholeMs);
    goals.Report("the tip / the first picture's whole decode", tipMs / wholeMs, 0.1);
    return enforce && goals.missed() ? 1 : 0;
}
