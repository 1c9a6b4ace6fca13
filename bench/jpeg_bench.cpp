// Decode and listing speed, side by side in one run:
//   - our in-memory decode against djpeg's whole process on the same file,
//   - against a bare libjpeg scanline loop into the same buffer,
//   - with SIMD against JSIMD_FORCENONE=1 (a child run of this program),
//   - listing a 500-picture Tessel against reading the whole file once.
// Prints each median and the ratios with their goals; exits 1 when a goal is missed
// and --enforce is given.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "bench_support.h"
#include "imaging/jpeg_decoder.h"
#include "pe/pe_library.h"
#include "pe/pe_writer.h"
#include "saver/tessel.h"
#include "test_jpegs.h"

namespace {

using qv::bench::Bytes;
using qv::bench::MedianMs;
using qv::bench::MedianMsInTurns;
using qv::bench::ReadAll;
using qv::bench::Write;

void BareScanlineLoop(const Bytes& jpeg, qv::imaging::Frame& frame) {
    jpeg_decompress_struct decoder{};
    jpeg_error_mgr errors{};
    decoder.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&decoder);
    frame.stride = qv::imaging::DibStride(static_cast<int>(decoder.output_width));
    frame.pixels.resize(frame.stride * decoder.output_height);
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = frame.pixels.data() +
                       (decoder.output_height - 1 - decoder.output_scanline) * frame.stride;
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
}

double OurDecodeMs(const Bytes& jpeg, int runs) {
    qv::imaging::Frame frame;
    return MedianMs(runs, [&] { qv::imaging::DecodeJpeg(jpeg, frame); });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child-decode") == 0) {
        std::printf("%f\n", OurDecodeMs(ReadAll(argv[2]), std::atoi(argv[3])));
        return 0;
    }
    qv::bench::Goals goals;
    const bool enforce = argc > 1 && std::strcmp(argv[1], "--enforce") == 0;
    const auto dir = std::filesystem::temp_directory_path() / "qv-bench";
    std::filesystem::create_directories(dir);
    const bool haveDjpeg = std::system("djpeg -version >/dev/null 2>&1") == 0;

    for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
        const Bytes jpeg =
            qv::testing::MakeJpeg({.width = w, .height = h, .quality = 90, .smooth = true});
        const std::string file = (dir / ("bench" + std::to_string(w) + ".jpg")).string();
        Write(file, jpeg);
        const int runs = w > 2000 ? 15 : 41;
        qv::imaging::Frame ourFrame;
        qv::imaging::Frame bareFrame;
        const auto [ours, bare] = MedianMsInTurns(
            runs, [&] { qv::imaging::DecodeJpeg(jpeg, ourFrame); },
            [&] { BareScanlineLoop(jpeg, bareFrame); });
        std::printf("%d x %d (%zu bytes): our decode %.2f ms, bare libjpeg loop %.2f ms\n", w, h,
                    jpeg.size(), ours, bare);
        goals.Report("our decode / bare scanline loop", ours / bare, 1.10);
        if (haveDjpeg) {
            const std::string command = "djpeg -bmp -outfile /dev/null '" + file + "'";
            const double djpeg = MedianMs(runs, [&] { (void)std::system(command.c_str()); });
            std::printf("  djpeg whole process %.2f ms\n", djpeg);
            goals.Report("our decode / djpeg process", ours / djpeg, 0.90);
        }
        const std::string child = std::string("JSIMD_FORCENONE=1 '") + argv[0] +
                                  "' --child-decode '" + file + "' " + std::to_string(runs);
        if (std::FILE* pipe = popen(child.c_str(), "r")) {
            double plain = 0;
            if (std::fscanf(pipe, "%lf", &plain) == 1 && plain > 0) {
                std::printf("  without SIMD %.2f ms\n", plain);
                goals.Report("our decode / our decode without SIMD", ours / plain, 0.50);
            }
            pclose(pipe);
        }
    }

    qv::pe::ResourceLibraryLayout layout;
    const Bytes picture =
        qv::testing::MakeJpeg({.width = 640, .height = 480, .quality = 90, .smooth = true});
    for (int i = 0; i < 500; ++i) {
        layout.rcdata.push_back({"PICT" + std::to_string(1000 + i) + "_JPEG", picture});
    }
    layout.strings[1] = "http://example.invalid/";
    const std::string tessel = (dir / "bench500.tsl").string();
    Write(tessel, qv::pe::WriteResourceLibrary(layout));
    const double list = MedianMs(201, [&] {  // short: many runs for a steady median
        qv::pe::PeError error = qv::pe::PeError::NotMz;
        auto library = qv::pe::PeResourceLibrary::OpenFile(tessel, error);
        (void)qv::saver::ReadTessel(*library);
    });
    const double whole = MedianMs(21, [&] { (void)ReadAll(tessel); });
    std::printf("500-picture Tessel (%ju bytes): listing %.3f ms, reading it whole %.3f ms\n",
                static_cast<std::uintmax_t>(std::filesystem::file_size(tessel)), list, whole);
    goals.Report("listing / whole-file read", list / whole, 0.02);
    return enforce && goals.missed() ? 1 : 0;
}
