// The screen saver descriptions' reads, on files on disk, side by side in one run:
//   - the reads of one .scr file, counted through the Files port, for each kind of saver:
//     an NE saver, one whose headers lie far into a large file, a large PE saver on the
//     95 family and on the NT family (its resources at the end),
//   - naming the large NE and PE savers against reading each of them whole.
// Prints the counts and the ratios with their goals; exits 1 when a goal is missed and
// --enforce is given.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "pe/byte_source.h"
#include "pe/pe_writer.h"
#include "platform/memory/memory_text.h"
#include "settings/saver_description.h"
#include "test_savers.h"

namespace {

using qv::bench::Bytes;

// A file reader that counts its reads.
class CountingReader : public qv::platform::FileReader {
  public:
    CountingReader(std::unique_ptr<qv::platform::FileReader> file, std::size_t& reads)
        : file_(std::move(file)), reads_(reads) {}
    [[nodiscard]] std::uint64_t Size() const override { return file_->Size(); }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* into,
                                      std::size_t count) override {
        ++reads_;
        return file_->ReadAt(offset, into, count);
    }

  private:
    std::unique_ptr<qv::platform::FileReader> file_;
    std::size_t& reads_;
};

// Local files, as the descriptions reach them: opened for reading and nothing else.
class LocalFiles : public qv::platform::Files {
  public:
    std::string WindowsDirectory() override { return {}; }
    std::string SystemDirectory() override { return {}; }
    std::optional<std::string> ShortPath(std::string_view) override { return std::nullopt; }
    bool FileExists(std::string_view path) override {
        return std::filesystem::is_regular_file(qv::pe::PathFromUtf8(std::string(path)));
    }
    std::vector<std::string> List(std::string_view) override { return {}; }
    bool Delete(std::string_view) override { return false; }
    std::string LocalAppDataDirectory() override { return {}; }
    bool CreateFolder(std::string_view) override { return false; }
    std::unique_ptr<qv::platform::FileReader> OpenForReading(std::string_view path,
                                                             qv::platform::Sharing) override {
        auto file = qv::pe::OpenLocalFile(std::string(path));
        return file ? std::make_unique<CountingReader>(std::move(file), reads) : nullptr;
    }
    std::size_t reads = 0;
};

struct Saver {
    const char* kind;
    std::string path;
    bool isNT;
};

}  // namespace

int main(int argc, char** argv) {
    qv::bench::Goals goals;
    const bool enforce = argc > 1 && std::strcmp(argv[1], "--enforce") == 0;
    const auto dir = std::filesystem::temp_directory_path() / "qv-bench";
    std::filesystem::create_directories(dir);
    constexpr std::uint32_t kLarge = 8u << 20;

    const std::string ne = (dir / "Marbles.scr").string();
    qv::bench::Write(ne, qv::testing::MakeNeSaver("SCRNSAVE : Marbles"));
    const std::string farNe = (dir / "FarNe.scr").string();
    qv::bench::Write(
        farNe, qv::testing::MakeNeSaver(
                   "SCRNSAVE : Far", {.newHeader = 10000, .table = kLarge - 300, .size = kLarge}));
    qv::pe::ResourceLibraryLayout layout;
    layout.strings[1] = "Mystic Lights";
    const std::string pe = (dir / "Mystify.scr").string();
    qv::bench::Write(
        pe, qv::testing::WithResourcesAtTheEnd(qv::pe::WriteResourceLibrary(layout), kLarge));

    LocalFiles files;
    qv::platform::memory::MemoryTextRules text;  // Windows-1252, as the system's code page
    const std::vector<Saver> savers = {{"NE saver", ne, true},
                                       {"NE saver, headers far into 8 MB", farNe, true},
                                       {"PE saver of 8 MB, 95 family", pe, false},
                                       {"PE saver of 8 MB, NT family", pe, true}};
    std::size_t most = 0;
    std::printf("reads per .scr file, through the Files port:\n");
    for (const Saver& saver : savers) {
        files.reads = 0;
        const auto name = qv::settings::GetWinScreenSaverName(files, text, saver.path, saver.isNT);
        std::printf("  %-40s %zu  (\"%s\")\n", saver.kind, files.reads,
                    name.value_or("not recognised").c_str());
        most = std::max(most, files.reads);
    }
    goals.Report("reads per .scr file, the most of the four kinds", static_cast<double>(most), 3);

    for (const Saver& large : {savers[1], savers[3]}) {
        const auto [header, whole] = qv::bench::MedianMsInTurns(
            41,
            [&] { (void)qv::settings::GetWinScreenSaverName(files, text, large.path, large.isNT); },
            [&] { (void)qv::bench::ReadAll(large.path); });
        std::printf("%s: naming %.4f ms, reading it whole %.3f ms\n", large.kind, header, whole);
        goals.Report("header reads / whole-file read", header / whole, 0.1);
    }
    return enforce && goals.missed() ? 1 : 0;
}
