#include <gtest/gtest.h>

#include "pe/pe_writer.h"
#include "platform/memory/memory_platform.h"
#include "settings/saver_description.h"
#include "test_savers.h"

namespace qv::settings {
namespace {

using Bytes = std::vector<std::uint8_t>;
using qv::testing::MakeNeSaver;
using qv::testing::NeLayout;
using qv::testing::WithResourcesAtTheEnd;

Bytes PeSaver(std::map<std::uint16_t, std::string> strings) {
    pe::ResourceLibraryLayout layout;
    layout.strings = std::move(strings);
    return pe::WriteResourceLibrary(layout);
}

class SaverDescriptions : public ::testing::Test {
  protected:
    // The name on both families, which agree for everything but PE savers.
    std::optional<std::string> NameOf(const Bytes& bytes, const std::string& path = kPath) {
        files.AddFileBytes(path, bytes);
        const auto nt = GetWinScreenSaverName(files, text, path, true);
        EXPECT_EQ(nt, GetWinScreenSaverName(files, text, path, false)) << path;
        return nt;
    }
    // The reads of one naming, which must stay within the three small header stretches.
    std::vector<platform::memory::MemoryFiles::FileRead> ReadsNaming(const std::string& path,
                                                                     bool isNT) {
        files.ClearReads();
        (void)GetWinScreenSaverName(files, text, path, isNT);
        return files.Reads();
    }

    static constexpr const char* kPath = "C:\\WINDOWS\\Marbles.scr";
    platform::memory::MemoryFiles files;
    platform::memory::MemoryTextRules text;
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
        EXPECT_EQ(NameOf(MakeNeSaver(description)), name) << description;
    }
    // A name table right after the NE header, and one far into a large file.
    EXPECT_EQ(NameOf(MakeNeSaver("SCRNSAVE: Near", {.newHeader = 0x80, .table = 0xC0})), "Near");
    const NeLayout far{.newHeader = 10000, .table = 300000, .size = 400000};
    EXPECT_EQ(NameOf(MakeNeSaver("SCRNSAVE: Far", far)), "Far");
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
    EXPECT_EQ(GetWinScreenSaverName(files, text, kPath, true), "Mystic Lights");
    EXPECT_EQ(GetWinScreenSaverName(files, text, kPath, false), "Marbles");
    EXPECT_EQ(LoadDescriptionString(files, kPath), "Mystic Lights");

    const std::string plain = "C:\\WINDOWS\\SYSTEM\\Saver.sc\xc3\xa9";  // cut by characters
    files.AddFileBytes(plain, PeSaver({{2, "not the description"}}));
    EXPECT_EQ(GetWinScreenSaverName(files, text, plain, true), "Saver");
    files.AddFileBytes("C:\\WINDOWS\\.scr", PeSaver({}));
    EXPECT_EQ(GetWinScreenSaverName(files, text, "C:\\WINDOWS\\.scr", true), "");

    // String 1 as a 260-character buffer holds it: up to a NUL, at most 259 characters.
    files.AddFileBytes(kPath, PeSaver({{1, std::string("Left\0Right", 10)}}));
    EXPECT_EQ(GetWinScreenSaverName(files, text, kPath, true), "Left");
    files.AddFileBytes(kPath, PeSaver({{1, std::string(300, 'y')}}));
    EXPECT_EQ(GetWinScreenSaverName(files, text, kPath, true), std::string(259, 'y'));

    // "PE" with nothing sound behind it is still a PE saver, named by its file.
    Bytes cut = PeSaver({{1, "Lost"}});
    cut.resize(0x200);
    files.AddFileBytes(kPath, cut);
    EXPECT_EQ(GetWinScreenSaverName(files, text, kPath, true), "Marbles");
    EXPECT_EQ(LoadDescriptionString(files, "C:\\WINDOWS\\missing.scr"), "");

    // A large saver is named from its first page and one read of its resource directory:
    // the PE reader takes its headers from the page already read.
    files.AddFileBytes(kPath, WithResourcesAtTheEnd(PeSaver({{1, "Large"}}), 4 << 20));
    EXPECT_EQ(GetWinScreenSaverName(files, text, kPath, true), "Large");
    EXPECT_LE(ReadsNaming(kPath, true).size(), 2u);
    EXPECT_EQ(ReadsNaming(kPath, false).size(), 1u);
}

// The header reader opens read-only and denies none, so a
// saver that another program holds open for writing (an installer copying it, say) is still
// listed by its description. Other readers do not share writing.
TEST_F(SaverDescriptions, ASaverHeldOpenForWritingIsStillReadByItsDescription) {
    files.AddFileBytes("C:\\WINDOWS\\Pipes.scr", MakeNeSaver("SCRNSAVE : Pipes Deluxe"));
    files.AddFileBytes("C:\\WINDOWS\\Aurora.scr", PeSaver({{1, "Aurora Borealis"}}));
    files.heldForWriting = {"C:\\WINDOWS\\Pipes.scr", "C:\\WINDOWS\\Aurora.scr"};
    EXPECT_EQ(GetWinScreenSaverName(files, text, "C:\\WINDOWS\\Pipes.scr", true), "Pipes Deluxe");
    EXPECT_EQ(GetWinScreenSaverName(files, text, "C:\\WINDOWS\\Aurora.scr", true),
              "Aurora Borealis");
    EXPECT_EQ(LoadDescriptionString(files, "C:\\WINDOWS\\Aurora.scr"), "Aurora Borealis");
    EXPECT_FALSE(files.OpenForReading("C:\\WINDOWS\\Pipes.scr", platform::Sharing::ReadDelete))
        << "the memory files refuse a reader that does not share writing, as the system does";
}

TEST_F(SaverDescriptions, DamagedAndHostileHeadersAreNotRecognisedAndListedByFileName) {
    Bytes zm = MakeNeSaver("SCRNSAVE: x");
    std::swap(zm[0], zm[1]);
    Bytes lx = MakeNeSaver("SCRNSAVE: x");
    lx[0x80] = 'L';
    lx[0x81] = 'X';
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"ZM", zm},
        {"neither NE nor PE", lx},
        {"new header inside the DOS header", MakeNeSaver("x", {.newHeader = 0x20, .table = 0x100})},
        {"new header past the end", MakeNeSaver("x", {.newHeader = 0xFFFFFFFF})},
        {"name table inside the NE header", MakeNeSaver("x", {.newHeader = 0x80, .table = 0xBF})},
        {"name table before the NE header",
         MakeNeSaver("x", {.newHeader = 0x400, .table = 0x100, .size = 0x800})},
        {"name table past the end", MakeNeSaver("x", {.table = 0xFFFFFFF0, .size = 0x400})},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_EQ(NameOf(bytes), std::nullopt) << what;
        EXPECT_EQ(SaverListName(files, text, kPath, true), "Marbles") << what;
        EXPECT_LE(ReadsNaming(kPath, true).size(), 3u) << what;
    }
    EXPECT_EQ(GetWinScreenSaverName(files, text, "C:\\WINDOWS\\missing.scr", true), std::nullopt);
    EXPECT_EQ(SaverListName(files, text, "C:\\WINDOWS\\missing.scr", true), "missing");

    // Every file shorter than its headers need is too short, down to nothing at all.
    const Bytes whole = MakeNeSaver("SCRNSAVE: Whole");
    for (std::size_t size = 0; size < whole.size(); ++size) {
        ASSERT_EQ(NameOf(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))),
                  std::nullopt)
            << size;
    }
    EXPECT_EQ(NameOf(whole), "Whole");
}

}  // namespace
}  // namespace qv::settings
