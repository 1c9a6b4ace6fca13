// What the native benches share: timing with medians, whole-file reads and writes, and the
// report of a ratio against its goal.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qv::bench {

using Bytes = std::vector<std::uint8_t>;

inline double TimeMs(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

inline double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline double MedianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(TimeMs(work));
    }
    return Median(std::move(times));
}

// Two pieces of work timed in turns, so that a slower or faster spell of the machine
// falls on both alike and their ratio stays steady.
inline std::pair<double, double> MedianMsInTurns(int runs, const std::function<void()>& first,
                                                 const std::function<void()>& second) {
    std::vector<double> a;
    std::vector<double> b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(TimeMs(first));
        b.push_back(TimeMs(second));
    }
    return {Median(std::move(a)), Median(std::move(b))};
}

// The fastest plain way to have a whole file in memory: its size, then one read.
inline Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void Write(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Prints each measured ratio with its goal and remembers a missed one.
class Goals {
  public:
    void Report(const char* what, double ratio, double goal, bool lessIsBetter = true) {
        const bool ok = lessIsBetter ? ratio <= goal : ratio >= goal;
        std::printf("  %-52s %6.3f  (goal %s %.3f) %s\n", what, ratio,
                    lessIsBetter ? "<=" : ">=", goal, ok ? "ok" : "MISSED");
        missed_ = missed_ || !ok;
    }
    [[nodiscard]] bool missed() const { return missed_; }

  private:
    bool missed_ = false;
};

}  // namespace qv::bench
