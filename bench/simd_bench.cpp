// Decoding speed of the build it is part of, for comparing a run with SIMD against one with
// JSIMD_FORCENONE=1 (libjpeg-turbo reads it at the first decode). Built in every build, so
// that the Windows build's SIMD is measured too, under Wine or on Windows.
//   simd_bench [RUNS]    prints the median milliseconds of one 1920 x 1080 decode
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imaging/jpeg_decoder.h"
#include "test_jpegs.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const auto jpeg = qv::testing::MakeJpeg(
        qv::testing::JpegOptions{.width = 1920, .height = 1080, .quality = 90, .smooth = true});
    qv::imaging::Frame frame;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (qv::imaging::DecodeJpeg(jpeg, frame) != qv::imaging::DecodeStatus::Ok) {
            std::fprintf(stderr, "the picture did not decode\n");
            return 1;
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%.3f\n", times[times.size() / 2]);
    return 0;
}
