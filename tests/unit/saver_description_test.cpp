#include <gtest/gtest.h>

#include "pe/byte_source.h"
#include "pe/pe_writer.h"
#include "platform/memory/memory_platform.h"
#include "settings/saver_description.h"

namespace qv::settings {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A 16-bit saver as far as its headers go: the DOS header, the NE header at `newHeader`,
// and the non-resident name table at `table`, whose first entry is the module description
// (length byte, text, ordinal 0). The file ends with the description's 258 bytes unless
// `size` says otherwise.
struct NeLayout {
    std::uint32_t newHeader = 0x80;
    std::uint32_t table = 0x200;
    std::size_t size = 0;
};

Bytes NeSaver(std::string_view description, NeLayout layout = {}) {
    Bytes file(layout.size != 0 ? layout.size : std::size_t{layout.table} + 258);
    file[0] = 'M';
    file[1] = 'Z';
    PutLe32(file, 0x3C, layout.newHeader);
    if (std::size_t{layout.newHeader} + 48 <= file.size()) {
        file[layout.newHeader] = 'N';
        file[layout.newHeader + 1] = 'E';
        PutLe32(file, layout.newHeader + 44, layout.table);
    }
    if (layout.table < file.size()) {
        file[layout.table] = static_cast<std::uint8_t>(description.size());
        for (std::size_t i = 0; i < description.size() && layout.table + 1 + i < file.size(); ++i) {
            file[layout.table + 1 + i] = static_cast<std::uint8_t>(description[i]);
        }
    }
    return file;
}

Bytes PeSaver(std::map<std::uint16_t, std::string> strings) {
    pe::ResourceLibraryLayout layout;
    layout.strings = std::move(strings);
    return pe::WriteResourceLibrary(layout);
}

// The same saver with `gap` bytes before its resource section, as a large program keeps
// its code and data before its resources.
Bytes WithResourcesAtTheEnd(Bytes pe, std::uint32_t gap) {
    const std::size_t newHeader = pe::Le32(pe.data(), 0x3C);
    const std::size_t section = newHeader + 24 + pe::Le16(pe.data(), newHeader + 20);
    const std::uint32_t raw = pe::Le32(pe.data(), section + 20);
    pe.insert(pe.begin() + raw, gap, 0xCC);
    PutLe32(pe, section + 20, raw + gap);
    return pe;
}

class SaverDescriptions : public ::testing::Test {
  protected:
    // The name on both families, which agree for everything but PE savers.
    std::optional<std::string> NameOf(const Bytes& bytes, const std::string& path = kPath) {
        files.AddFileBytes(path, bytes);
        const auto nt = GetWinScreenSaverName(files, path, true);
        EXPECT_EQ(nt, GetWinScreenSaverName(files, path, false)) << path;
        return nt;
    }
    // The reads of one naming, which must stay within the three small header stretches.
    std::vector<platform::memory::MemoryFiles::FileRead> ReadsNaming(const std::string& path,
                                                                     bool isNT) {
        files.ClearReads();
        (void)GetWinScreenSaverName(files, path, isNT);
        return files.Reads();
    }

    static constexpr const char* kPath = "C:\\WINDOWS\\Marbles.scr";
    platform::memory::MemoryFiles files;
};

TEST_F(SaverDescriptions, NeModuleDescriptionsLoseTheMarkerAndTheSeparatorsBeforeTheName) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"SCRNSAVE : Marbles", "Marbles"},
        {"Marbles", "Marbles"},
        {"SCRNSAVE:", ""},
        {"Starry scrnsave: night ", "Starry : night "},
        {"SCRNSAVE SCRNSAVE: twice", "SCRNSAVE: twice"},
        {"SCRNSAVE : Caf\xe9 \x99", "Caf\xc3\xa9 \xe2\x84\xa2"},  // Windows-1252 to UTF-8
        {std::string(300, 'x'), std::string(257, 'x')},
    };
    for (const auto& [description, name] : cases) {
        EXPECT_EQ(NameOf(NeSaver(description)), name) << description;
    }
    // A name table right after the NE header, and one far into a large file.
    EXPECT_EQ(NameOf(NeSaver("SCRNSAVE: Near", {.newHeader = 0x80, .table = 0xC0})), "Near");
    const NeLayout far{.newHeader = 10000, .table = 300000, .size = 400000};
    EXPECT_EQ(NameOf(NeSaver("SCRNSAVE: Far", far)), "Far");
    const auto reads = ReadsNaming(kPath, true);
    ASSERT_EQ(reads.size(), 3u);
    EXPECT_EQ(reads[1].offset, far.newHeader);
    EXPECT_EQ(reads[2].offset, far.table);
    for (const auto& read : reads) {
        EXPECT_LE(read.count, 4096u);
    }
}

TEST_F(SaverDescriptions, PeSaversAreNamedByStringOneOnTheNtFamilyOnly) {
    files.AddFileBytes(kPath, PeSaver({{1, "Mystic Lights"}, {2, "other"}}));
    EXPECT_EQ(GetWinScreenSaverName(files, kPath, true), "Mystic Lights");
    EXPECT_EQ(GetWinScreenSaverName(files, kPath, false), "Marbles");
    EXPECT_EQ(LoadDescriptionString(files, kPath), "Mystic Lights");

    const std::string plain = "C:\\WINDOWS\\SYSTEM\\Saver.sc\xc3\xa9";  // cut by characters
    files.AddFileBytes(plain, PeSaver({{2, "not the description"}}));
    EXPECT_EQ(GetWinScreenSaverName(files, plain, true), "Saver");
    files.AddFileBytes("C:\\WINDOWS\\.scr", PeSaver({}));
    EXPECT_EQ(GetWinScreenSaverName(files, "C:\\WINDOWS\\.scr", true), "");

    // String 1 as a 260-character buffer holds it: up to a NUL, at most 259 characters.
    files.AddFileBytes(kPath, PeSaver({{1, std::string("Left\0Right", 10)}}));
    EXPECT_EQ(GetWinScreenSaverName(files, kPath, true), "Left");
    files.AddFileBytes(kPath, PeSaver({{1, std::string(300, 'y')}}));
    EXPECT_EQ(GetWinScreenSaverName(files, kPath, true), std::string(259, 'y'));

    // "PE" with nothing sound behind it is still a PE saver, named by its file.
    Bytes cut = PeSaver({{1, "Lost"}});
    cut.resize(0x200);
    files.AddFileBytes(kPath, cut);
    EXPECT_EQ(GetWinScreenSaverName(files, kPath, true), "Marbles");
    EXPECT_EQ(LoadDescriptionString(files, "C:\\WINDOWS\\missing.scr"), "");

    // A large saver is named from its first page and one read of its resource directory:
    // the PE reader takes its headers from the page already read.
    files.AddFileBytes(kPath, WithResourcesAtTheEnd(PeSaver({{1, "Large"}}), 4 << 20));
    EXPECT_EQ(GetWinScreenSaverName(files, kPath, true), "Large");
    EXPECT_LE(ReadsNaming(kPath, true).size(), 2u);
    EXPECT_EQ(ReadsNaming(kPath, false).size(), 1u);
}

TEST_F(SaverDescriptions, DamagedAndHostileHeadersAreNotRecognisedAndListedByFileName) {
    Bytes zm = NeSaver("SCRNSAVE: x");
    std::swap(zm[0], zm[1]);
    Bytes lx = NeSaver("SCRNSAVE: x");
    lx[0x80] = 'L';
    lx[0x81] = 'X';
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"ZM", zm},
        {"neither NE nor PE", lx},
        {"new header inside the DOS header", NeSaver("x", {.newHeader = 0x20, .table = 0x100})},
        {"new header past the end", NeSaver("x", {.newHeader = 0xFFFFFFFF})},
        {"name table inside the NE header", NeSaver("x", {.newHeader = 0x80, .table = 0xBF})},
        {"name table before the NE header",
         NeSaver("x", {.newHeader = 0x400, .table = 0x100, .size = 0x800})},
        {"name table past the end", NeSaver("x", {.table = 0xFFFFFFF0, .size = 0x400})},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_EQ(NameOf(bytes), std::nullopt) << what;
        EXPECT_EQ(SaverListName(files, kPath, true), "Marbles") << what;
        EXPECT_LE(ReadsNaming(kPath, true).size(), 3u) << what;
    }
    EXPECT_EQ(GetWinScreenSaverName(files, "C:\\WINDOWS\\missing.scr", true), std::nullopt);
    EXPECT_EQ(SaverListName(files, "C:\\WINDOWS\\missing.scr", true), "missing");

    // Every file shorter than its headers need is too short, down to nothing at all.
    const Bytes whole = NeSaver("SCRNSAVE: Whole");
    for (std::size_t size = 0; size < whole.size(); ++size) {
        ASSERT_EQ(NameOf(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))),
                  std::nullopt)
            << size;
    }
    EXPECT_EQ(NameOf(whole), "Whole");
}

}  // namespace
}  // namespace qv::settings
