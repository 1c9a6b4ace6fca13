#include <gtest/gtest.h>

#include "pe/pe_library.h"
#include "pe/pe_writer.h"
#include "saver/tessel.h"
#include "test_jpegs.h"

namespace qv::pe {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<PeResourceLibrary> Open(const Bytes& bytes, PeError& error) {
    return PeResourceLibrary::Open(std::make_unique<BufferSource>(bytes), error);
}

std::unique_ptr<PeResourceLibrary> OpenOk(const Bytes& bytes) {
    PeError error = PeError::NotMz;
    auto library = Open(bytes, error);
    EXPECT_TRUE(library) << Describe(error);
    return library;
}

Bytes Library(const std::vector<std::string>& names,
              const std::map<std::uint16_t, std::string>& strings = {}) {
    ResourceLibraryLayout layout;
    for (const auto& name : names) {
        layout.rcdata.push_back({name, Bytes(name.begin(), name.end())});
    }
    layout.strings = strings;
    return WriteResourceLibrary(layout);
}

TEST(TesselPictures, OnlyNamedEntriesWithJpegInTheirNameArePictures) {
    ResourceLibraryLayout layout;
    for (const char* name : {"PICT01JPEG", "JPEG_2", "myJpeg", "PICT01JPG"}) {
        layout.rcdata.push_back({name, Bytes{1, 2, 3}});
    }
    layout.rcdataById[5] = Bytes{9};
    const auto library = OpenOk(WriteResourceLibrary(layout));
    const auto tessel = saver::ReadTessel(*library);
    EXPECT_EQ(tessel.pictures, (std::vector<std::string>{"JPEG_2", "MYJPEG", "PICT01JPEG"}));
}

TEST(TesselPictures, ShownInTheDirectorysNameOrder) {
    const auto library = OpenOk(Library({"B_JPEG", "A_JPEG", "C_JPEG"}));
    EXPECT_EQ(saver::ReadTessel(*library).pictures,
              (std::vector<std::string>{"A_JPEG", "B_JPEG", "C_JPEG"}));
    EXPECT_EQ(library->RcData("B_JPEG"), (Bytes{'B', '_', 'J', 'P', 'E', 'G'}));
    EXPECT_FALSE(library->RcData("D_JPEG"));
}

TEST(TesselLinks, EightLinksMissingOnesEmptyLongOnesCut) {
    const std::string longLink = "http://example.invalid/" + std::string(577, 'x');
    const auto library =
        OpenOk(Library({"A_JPEG"}, {{2, "http://two.invalid/"}, {8, longLink}, {9, "nine"}}));
    const auto tessel = saver::ReadTessel(*library);
    EXPECT_EQ(tessel.links[0], "");
    EXPECT_EQ(tessel.links[1], "http://two.invalid/");
    EXPECT_EQ(tessel.links[7], longLink.substr(0, 512));
    EXPECT_EQ(library->String(9), "nine") << "strings past 8 are there but unused";
}

TEST(TesselLinks, LibraryWithoutStringsStillListsItsPictures) {
    const auto library = OpenOk(Library({"ONLY_JPEG"}));
    const auto tessel = saver::ReadTessel(*library);
    EXPECT_EQ(tessel.pictures, std::vector<std::string>{"ONLY_JPEG"});
    for (const auto& link : tessel.links) {
        EXPECT_EQ(link, "");
    }
}

TEST(TesselLinks, TextOutsideAsciiSurvivesAndIsCutByCharacters) {
    const std::string accented = "http://caf\xc3\xa9.invalid/\xe6\x97\xa5";
    const auto library = OpenOk(Library({"A_JPEG"}, {{1, accented}}));
    EXPECT_EQ(saver::ReadTessel(*library).links[0], accented);
    EXPECT_EQ(saver::CutToChars("\xc3\xa9\xc3\xa9\xc3\xa9", 2), "\xc3\xa9\xc3\xa9");
}

// Every damaged file has one defined outcome: no library, with a reason.
class DamagedLibrary : public ::testing::Test {
  protected:
    void SetUp() override { good = Library({"A_JPEG", "B_JPEG"}, {{1, "link"}}); }
    PeError OpenFails(const Bytes& bytes) {
        PeError error = PeError::NotMz;
        EXPECT_FALSE(Open(bytes, error));
        return error;
    }
    static void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    // The writer's layout: resource section at file offset 0x200, RVA 0x1000.
    static constexpr std::size_t kRsrc = 0x200;
    Bytes good;
};

TEST_F(DamagedLibrary, EveryTruncationOfTheHeadersIsRejected) {
    for (std::size_t size = 0; size < 0x200 + 16; size += 3) {
        const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        PeError error = PeError::NotMz;
        EXPECT_FALSE(Open(cut, error)) << "size " << size;
    }
}

TEST_F(DamagedLibrary, WrongSignaturesAreNamed) {
    Bytes notMz = good;
    notMz[0] = 'Z';
    notMz[1] = 'M';
    EXPECT_EQ(OpenFails(notMz), PeError::NotMz);
    Bytes farHeader = good;
    Put32(farHeader, 0x3C, 0x7FFFFFF0);
    EXPECT_EQ(OpenFails(farHeader), PeError::BadNewHeader);
    Bytes insideDos = good;
    Put32(insideDos, 0x3C, 8);
    EXPECT_EQ(OpenFails(insideDos), PeError::BadNewHeader);
    Bytes notPe = good;
    notPe[0x40] = 'N';
    EXPECT_EQ(OpenFails(notPe), PeError::NotPe);
}

TEST_F(DamagedLibrary, SectionDataPastTheEndOfTheFile) {
    Bytes far = good;
    // Section header at 0x40 + 24 + 0xE0; PointerToRawData at +20.
    Put32(far, 0x40 + 24 + 0xE0 + 20, 0x7FFF0000);
    EXPECT_EQ(OpenFails(far), PeError::BadResources);
}

TEST_F(DamagedLibrary, DirectoryThatPointsToItselfIsALoopNotAHang) {
    Bytes loop = good;
    // Root entry 1 (RT_RCDATA, after RT_STRING) leads back to the root.
    Put32(loop, kRsrc + 16 + 8 + 4, 0x80000000u);
    EXPECT_EQ(OpenFails(loop), PeError::BadResources);
}

TEST_F(DamagedLibrary, HugeEntryCountsAndNamesOutsideTheSection) {
    Bytes count = good;
    count[kRsrc + 14] = 0xFF;
    count[kRsrc + 15] = 0xFF;
    EXPECT_EQ(OpenFails(count), PeError::BadResources);

    const auto library = OpenOk(good);
    ASSERT_EQ(library->RcDataEntries().size(), 2u);
}

TEST_F(DamagedLibrary, StringBlockShorterThanItsLengthsClaim) {
    Bytes shortBlock = good;
    // The string block is the first data after the directories: find its first length
    // (string 0, empty) and make string 1 claim more characters than the block holds.
    const auto library = OpenOk(good);
    ASSERT_EQ(library->String(1), "link");
    const std::u16string link = u"link";
    for (std::size_t at = kRsrc; at + 10 < shortBlock.size(); ++at) {
        if (shortBlock[at] == 4 && shortBlock[at + 1] == 0 && shortBlock[at + 2] == 'l' &&
            shortBlock[at + 4] == 'i') {
            shortBlock[at] = 0xFF;
            shortBlock[at + 1] = 0x7F;
            break;
        }
    }
    const auto damaged = OpenOk(shortBlock);
    EXPECT_FALSE(damaged->String(1));
    EXPECT_EQ(saver::ReadTessel(*damaged).links[0], "");
}

TEST_F(DamagedLibrary, PictureDataOutsideTheFileReadsAsNothing) {
    ResourceLibraryLayout layout;
    layout.rcdata.push_back({"A_JPEG", Bytes(64, 7)});
    Bytes bytes = WriteResourceLibrary(layout);
    const auto library = OpenOk(bytes);
    const auto& entries = library->RcDataEntries();
    ASSERT_EQ(entries.size(), 1u);
    // Point the data entry's size far past the section.
    for (std::size_t at = kRsrc; at + 8 < bytes.size(); at += 4) {
        if (bytes[at] == entries[0].dataRva % 256 && bytes[at + 4] == 64 && bytes[at + 5] == 0) {
            Put32(bytes, at + 4, 0x00FFFFFF);
            break;
        }
    }
    const auto damaged = OpenOk(bytes);
    EXPECT_FALSE(damaged->RcData("A_JPEG"));
}

TEST(PeImageReading, SixtyFourBitImagesAreReadToo) {
    // A PE32+ header differs in the optional header; build one by hand from the 32-bit
    // layout: magic 0x20B and the data directories 16 bytes further on.
    Bytes bytes = Library({"A_JPEG"});
    const std::size_t optional = 0x40 + 24;
    bytes[optional] = 0x0B;
    bytes[optional + 1] = 0x02;
    // Move NumberOfRvaAndSizes and the directories by 16 (PE32 had 92, PE32+ has 108).
    Bytes moved(bytes.begin() + optional + 92, bytes.begin() + optional + 0xE0 - 16);
    std::copy(moved.begin(), moved.end(), bytes.begin() + optional + 108);
    PeError error = PeError::NotMz;
    MemorySource source(bytes);
    const auto image = PeImage::Parse(source, error);
    ASSERT_TRUE(image) << Describe(error);
    EXPECT_TRUE(image->isPe32Plus());
    EXPECT_EQ(image->resourceRva(), 0x1000u);
}

}  // namespace
}  // namespace qv::pe
