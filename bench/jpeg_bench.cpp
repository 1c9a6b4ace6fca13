// Decode and listing speed, side by side in one run:
//   - our in-memory decode against djpeg's whole process on the same file,
//   - against a bare libjpeg scanline loop into the same buffer,
//   - with SIMD against JSIMD_FORCENONE=1 (a child run of this program),
//   - listing a 500-picture Tessel against reading the whole file once.
// Prints each median and the ratios with their goals; exits 1 when a goal is missed
// and --enforce is given.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "imaging/jpeg_decoder.h"
#include "pe/pe_library.h"
#include "pe/pe_writer.h"
#include "saver/tessel.h"
#include "test_jpegs.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

double TimeMs(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double MedianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(TimeMs(work));
    }
    return Median(std::move(times));
}

// Two pieces of work timed in turns, so that a slower or faster spell of the machine
// falls on both alike and their ratio stays steady.
std::pair<double, double> MedianMsInTurns(int runs, const std::function<void()>& first,
                                          const std::function<void()>& second) {
    std::vector<double> a;
    std::vector<double> b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(TimeMs(first));
        b.push_back(TimeMs(second));
    }
    return {Median(std::move(a)), Median(std::move(b))};
}

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

// The fastest plain way to have a whole file in memory: its size, then one read.
Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void Write(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

double OurDecodeMs(const Bytes& jpeg, int runs) {
    qv::imaging::Frame frame;
    return MedianMs(runs, [&] { qv::imaging::DecodeJpeg(jpeg, frame); });
}

bool failed = false;

void Report(const char* what, double ratio, double goal, bool lessIsBetter = true) {
    const bool ok = lessIsBetter ? ratio <= goal : ratio >= goal;
    std::printf("  %-52s %6.3f  (goal %s %.3f) %s\n", what, ratio, lessIsBetter ? "<=" : ">=", goal,
                ok ? "ok" : "MISSED");
    failed = failed || !ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child-decode") == 0) {
        std::printf("%f\n", OurDecodeMs(ReadAll(argv[2]), std::atoi(argv[3])));
        return 0;
    }
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
        Report("our decode / bare scanline loop", ours / bare, 1.10);
        if (haveDjpeg) {
            const std::string command = "djpeg -bmp -outfile /dev/null '" + file + "'";
            const double djpeg = MedianMs(runs, [&] { (void)std::system(command.c_str()); });
            std::printf("  djpeg whole process %.2f ms\n", djpeg);
            Report("our decode / djpeg process", ours / djpeg, 0.90);
        }
        const std::string child = std::string("JSIMD_FORCENONE=1 '") + argv[0] +
                                  "' --child-decode '" + file + "' " + std::to_string(runs);
        if (std::FILE* pipe = popen(child.c_str(), "r")) {
            double plain = 0;
            if (std::fscanf(pipe, "%lf", &plain) == 1 && plain > 0) {
                std::printf("  without SIMD %.2f ms\n", plain);
                Report("our decode / our decode without SIMD", ours / plain, 0.50);
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
    Report("listing / whole-file read", list / whole, 0.02);
    return enforce && failed ? 1 : 0;
}
