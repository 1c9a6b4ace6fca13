// Every program built is a well-formed Windows program: its resources, read with our own
// reader, hold the manifest, the version information and the product icon.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/utf.h"
#include "pe/pe_image.h"
#include "pe/pe_library.h"
#include "pe/resources.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

constexpr std::uint16_t kRtGroupIcon = 14;
constexpr std::uint16_t kRtVersion = 16;
constexpr std::uint16_t kRtManifest = 24;

std::string AsText(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class ProgramResources : public ::testing::TestWithParam<const wchar_t*> {
  protected:
    void SetUp() override {
        source = pe::FileSource::Open(Utf8(SiblingPath(GetParam())));
        ASSERT_TRUE(source);
        pe::PeError error = pe::PeError::NotMz;
        auto image = pe::PeImage::Parse(*source, error);
        ASSERT_TRUE(image) << pe::Describe(error);
        reader.emplace(*source, *image);
    }
    std::vector<pe::ResourceEntry> Entries(std::uint16_t type) {
        pe::PeError error = pe::PeError::NotMz;
        return reader->Entries(type, error).value_or(std::vector<pe::ResourceEntry>{});
    }
    std::unique_ptr<pe::FileSource> source;
    std::optional<pe::ResourceReader> reader;
};

TEST_P(ProgramResources, ManifestVersionAndIcon) {
    const auto manifests = Entries(kRtManifest);
    ASSERT_EQ(manifests.size(), 1u) << "one manifest, the program's own";
    EXPECT_EQ(manifests[0].id, 1u);
    const std::string manifest =
        AsText(reader->Data(manifests[0]).value_or(std::vector<std::uint8_t>{}));
    for (const char* part :
         {"<dpiAwareness", ">PerMonitorV2<", "true/pm", "Microsoft.Windows.Common-Controls",
          "version=\"6.0.0.0\"", "level=\"asInvoker\"", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }

    const auto versions = Entries(kRtVersion);
    ASSERT_EQ(versions.size(), 1u);
    const auto version = reader->Data(versions[0]).value_or(std::vector<std::uint8_t>{});
    const auto has = [&](const std::u16string& text) {
        const std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
        return AsText(version).find(bytes) != std::string::npos;
    };
    EXPECT_TRUE(has(u"ProductName"));
    EXPECT_TRUE(has(u"Quorvanes"));
    EXPECT_TRUE(has(Utf16FromUtf8(Utf8(GetParam()))));  // OriginalFilename

    const auto icons = Entries(kRtGroupIcon);
    EXPECT_TRUE(std::any_of(icons.begin(), icons.end(), [](const auto& icon) {
        return icon.named && icon.name == "MAINICON";
    }));
}

INSTANTIATE_TEST_SUITE_P(EveryProgram, ProgramResources,
                         ::testing::Values(L"Quorvanes.scr", L"QVTIcon.exe", L"QVBrowserLink.exe",
                                           L"QVUserSetup.exe", L"tessel.exe"));

TEST(SaverHostResources, DescriptionIsStringOne) {
    pe::PeError error = pe::PeError::NotMz;
    auto library = pe::PeResourceLibrary::OpenFile(Utf8(SiblingPath(L"Quorvanes.scr")), error);
    ASSERT_TRUE(library) << pe::Describe(error);
    EXPECT_EQ(library->String(1), "Quorvanes");
}

}  // namespace
}  // namespace qv
