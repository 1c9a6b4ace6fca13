// The picture show over a large Tessel: how long the start takes to the first picture, and
// whether memory grows with the number of pictures shown. The show runs its real rules and
// decoder against a file on disk; only the window is left out.
// With "two-monitors" the show fills two monitors of the pictures' size with the next
// pictures, one each (Monitors "2", PictureSize "1"): PICTURES changes of two pictures.
//   show_bench [PICTURES] [WIDTH] [HEIGHT] [two-monitors]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "config/names.h"
#include "pe/byte_source.h"
#include "pe/pe_writer.h"
#include "platform/memory/memory_platform.h"
#include "saver/picture_show.h"
#include "test_jpegs.h"

namespace {

using namespace qv;

// Tessels are read from disk, as the programs read them, not from memory.
class DiskFiles : public platform::memory::MemoryFiles {
  public:
    std::unique_ptr<platform::FileReader> OpenForReading(std::string_view path,
                                                         platform::Sharing) override {
        // The show builds Windows paths; the folder here is a Linux one.
        std::string local(path);
        std::replace(local.begin(), local.end(), '\\', '/');
        return pe::OpenLocalFile(local);
    }
};

class NoWindow : public saver::ShowWindow {
  public:
    platform::WindowId Id() const override { return 1; }
    saver::Screens CurrentScreens() const override { return screens; }
    void Cover(const saver::ScreenRect&) override {}
    void ShowPictures(const std::vector<saver::MonitorFrame>&) override { ++pictures; }
    void RepaintPicture() override {}
    void StartFadeTimer(int) override {}
    void StopFadeTimer() override {}
    void SetCursorShape(saver::CursorShape) override {}
    void ShowCursor(bool) override {}
    void SetPictureHint(std::optional<std::string_view>) override {}
    void Close() override {}
    void StartActivationDelay(int) override {}
    void StartPictureTimer(int) override {}
    void StartCountdown(int) override {}
    void StartDecode(std::shared_ptr<saver::PictureSource> source,
                     saver::FrameRequest start) override {
        saver::RunDecode(
            *source, start, [] { return true; },
            [](const std::function<void()>& step) {
                step();
                return true;
            },
            [this](saver::DecodedPicture& decoded) { show->OnPictureDecoded(decoded); });
    }
    saver::PictureShow* show = nullptr;
    saver::Screens screens{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {{0, 0, 1920, 1080}}};
    int pictures = 0;
};

// Peak resident set of this process so far, in bytes (Linux: VmHWM).
long PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6)) * 1024;
        }
    }
    return -1;
}

// Writes the Tessel in pieces of one picture each, so making it does not raise the peak
// that the show is measured against more than one packed file does.
void MakeTessel(const std::string& path, int count, int width, int height) {
    pe::ResourceLibraryLayout layout;
    const auto picture = testing::MakeJpeg(
        testing::JpegOptions{.width = width, .height = height, .quality = 85, .smooth = true});
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "PICTURE%03dJPEG", i);
        layout.rcdata.push_back({name, picture});
    }
    const auto bytes = pe::WriteResourceLibrary(layout);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    const int width = argc > 2 ? std::atoi(argv[2]) : 1920;
    const int height = argc > 3 ? std::atoi(argv[3]) : 1080;
    const bool twoMonitors = argc > 4 && std::string(argv[4]) == "two-monitors";
    const std::string folder = "/tmp";
    const std::string path = folder + "/qv-show-bench.tsl";
    if (std::ifstream(path + ".done").good() == false) {
        MakeTessel(path, count, width, height);
        std::ofstream(path + ".done") << count << ' ' << width << ' ' << height;
        // Measured in a fresh process, with nothing of the making in its peak.
        return std::system((std::string(argv[0]) + " " + std::to_string(count) + " " +
                            std::to_string(width) + " " + std::to_string(height) +
                            (twoMonitors ? " two-monitors" : ""))
                               .c_str()) == 0
                   ? 0
                   : 1;
    }
    std::remove((path + ".done").c_str());

    platform::memory::MemoryPlatform mem;
    DiskFiles files;
    platform::Platform withFiles{mem.registry, mem.profile, files,       mem.processes,
                                 mem.desktop,  mem.system,  mem.dialogs, mem.libraries,
                                 mem.clock,    mem.text};
    mem.registry.SetString(platform::RegRoot::LocalMachine, config::kKeyPath,
                           config::value::TesselsDir, folder);
    mem.registry.SetString(platform::RegRoot::CurrentUser, config::kKeyPath,
                           config::value::CurrentTessel, "qv-show-bench");
    files.AddFile(folder + "\\qv-show-bench.tsl");
    const long before = PeakResidentBytes();
    NoWindow window;
    const int monitors = twoMonitors ? 2 : 1;
    if (twoMonitors) {
        for (const auto& [name, text] : {std::pair{config::value::PictureSize, "1"},
                                         std::pair{config::value::Monitors, "2"}}) {
            mem.registry.SetString(platform::RegRoot::CurrentUser, config::kKeyPath, name, text);
        }
        window.screens = {{0, 0, 2 * width, height},
                          {0, 0, width, height},
                          {{0, 0, width, height}, {width, 0, 2 * width, height}}};
    }
    saver::HostState state{.mode = saver::Mode::ScreenSaver, .isNT = true, .trayRunning = true};
    saver::PictureShow show(withFiles, state, window);
    window.show = &show;
    const auto start = std::chrono::steady_clock::now();
    if (show.Open() != saver::OpenOutcome::Showing) {
        std::fprintf(stderr, "the show did not start\n");
        std::remove(path.c_str());
        return 1;
    }
    const double firstMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    for (int i = 1; i < 10; ++i) {
        show.LoadNewPict();
    }
    const long afterTen = PeakResidentBytes();
    for (int i = 10; i < count; ++i) {
        show.LoadNewPict();
    }
    const long afterAll = PeakResidentBytes();
    std::remove(path.c_str());

    const double frameMb = static_cast<double>(imaging::DibStride(width)) * height / 1e6;
    const double growthMb = static_cast<double>(afterAll - afterTen) / 1e6;
    // One monitor: memory may not grow by one frame. Two, each changing: by two frames a
    // monitor at most (the shown and the incoming one).
    const double allowedMb = twoMonitors ? 2.0 * monitors * frameMb : frameMb;
    std::printf("show over %d %s of %d x %d (one decoded picture: %.1f MB)\n", count,
                twoMonitors ? "changes on two monitors in \"2\", fitted," : "pictures", width,
                height, frameMb);
    std::printf("  start to the first picture:        %8.1f ms\n", firstMs);
    std::printf("  peak resident before the show:     %8.1f MB\n",
                static_cast<double>(before) / 1e6);
    std::printf("  peak after 10 pictures:            %8.1f MB\n",
                static_cast<double>(afterTen) / 1e6);
    std::printf("  peak after %3d pictures:           %8.1f MB\n", window.pictures,
                static_cast<double>(afterAll) / 1e6);
    std::printf(
        "  growth from 10 to %d:              %8.1f MB (%.2f of one picture, goal < %.0f) %s\n",
        count, growthMb, growthMb / frameMb, allowedMb / frameMb,
        growthMb < allowedMb ? "ok" : "MISSED");
    return window.pictures == count ? 0 : 1;
}
