// Tessel files under the system loader: what Windows sees in them is what our own reader
// sees, for files from `tessel pack` and from windres.
#include <windows.h>

#include <gtest/gtest.h>

#include "pe/pe_library.h"
#include "pe/pe_writer.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "saver/tessel.h"
#include "test_jpegs.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

struct Seen {
    std::vector<std::string> names;
    std::vector<std::string> links;
    bool operator==(const Seen&) const = default;
};

BOOL CALLBACK CollectA(HMODULE, LPCSTR, LPSTR name, LONG_PTR context) {
    if (!IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<std::string>*>(context)->push_back(name);
    }
    return TRUE;
}

// The loader's view, through the ANSI functions.
Seen SeenByTheLoader(const std::string& path) {
    Seen seen;
    const HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module, nullptr) << path;
    if (module == nullptr) {
        return seen;
    }
    ::EnumResourceNamesA(module, MAKEINTRESOURCEA(10), CollectA,
                         reinterpret_cast<LONG_PTR>(&seen.names));
    for (UINT id = 1; id <= 8; ++id) {
        char buffer[513] = {};
        const int got = ::LoadStringA(module, id, buffer, 513);
        seen.links.emplace_back(buffer, static_cast<std::size_t>(got));
    }
    ::FreeLibrary(module);
    return seen;
}

Seen SeenByOurReader(const std::string& path) {
    Seen seen;
    pe::PeError error = pe::PeError::NotMz;
    auto library = pe::PeResourceLibrary::OpenFile(path, error);
    EXPECT_TRUE(library) << pe::Describe(error);
    if (!library) {
        return seen;
    }
    seen.names = library->RcDataNames();
    for (unsigned id = 1; id <= 8; ++id) {
        seen.links.push_back(saver::CutToChars(library->String(id).value_or(""), 512));
    }
    return seen;
}

class TesselFiles : public ::testing::Test {
  protected:
    std::string Packed() {
        pe::ResourceLibraryLayout layout;
        layout.rcdata.push_back({"Zeta_JPEG", testing::MakeJpeg({.width = 40, .height = 30})});
        layout.rcdata.push_back({"alpha_jpeg", testing::MakeJpeg({.width = 20, .height = 10})});
        layout.rcdata.push_back({"NOTES", {1, 2, 3}});
        layout.strings = {{1, "http://one.invalid/"}, {4, std::string(600, 'w')}, {8, "eight"}};
        const std::wstring path = folder.path() + L"\\packed.tsl";
        const auto bytes = pe::WriteResourceLibrary(layout);
        WriteFile(path, std::string(bytes.begin(), bytes.end()));
        return Utf8(path);
    }
    TempFolder folder{L"qv tessel files"};
};

TEST_F(TesselFiles, PackedFileReadsTheSameThroughTheLoaderAndOurReader) {
    const std::string path = Packed();
    const Seen loader = SeenByTheLoader(path);
    EXPECT_EQ(loader.names, (std::vector<std::string>{"ALPHA_JPEG", "NOTES", "ZETA_JPEG"}));
    EXPECT_EQ(loader.links[3], std::string(512, 'w'));
    EXPECT_EQ(loader, SeenByOurReader(path));
}

TEST_F(TesselFiles, WindresLibraryReadsTheSameWithOurReader) {
    const std::string path = Utf8(SiblingPath(L"windres_tessel.dll"));
    const Seen loader = SeenByTheLoader(path);
    EXPECT_EQ(loader.names, (std::vector<std::string>{"A_JPEG", "B_JPEG", "MYJPEG", "PICT01JPG"}));
    EXPECT_EQ(loader.links[1], "http://two.invalid/");
    EXPECT_EQ(loader, SeenByOurReader(path));
}

TEST_F(TesselFiles, PlatformAdapterAndOurReaderGiveTheSameTessel) {
    for (const std::string& path : {Packed(), Utf8(SiblingPath(L"windres_tessel.dll"))}) {
        platform::win32::Win32Libraries libraries;
        auto system = libraries.OpenResourceLibrary(path);
        ASSERT_TRUE(system);
        pe::PeError error = pe::PeError::NotMz;
        auto ours = pe::PeResourceLibrary::OpenFile(path, error);
        ASSERT_TRUE(ours);
        const auto a = saver::ReadTessel(*system);
        const auto b = saver::ReadTessel(*ours);
        EXPECT_EQ(a.pictures, b.pictures);
        EXPECT_EQ(a.links, b.links);
        for (const auto& name : a.pictures) {
            EXPECT_EQ(system->RcData(name), ours->RcData(name)) << name;
        }
    }
}

TEST_F(TesselFiles, NonLibraryIsRefusedByBoth) {
    const std::wstring path = folder.path() + L"\\text.tsl";
    WriteFile(path, "just some text, no library");
    platform::win32::Win32Libraries libraries;
    EXPECT_FALSE(libraries.OpenResourceLibrary(Utf8(path)));
    pe::PeError error = pe::PeError::NotMz;
    EXPECT_FALSE(pe::PeResourceLibrary::OpenFile(Utf8(path), error));
}

TEST_F(TesselFiles, TheWindowsToolChecksAPackedFile) {
    const std::string path = Packed();
    const Child tool = StartProgram(L"\"" + SiblingPath(L"tessel.exe") + L"\" check \"" +
                                    platform::win32::Widen(path) + L"\"");
    ASSERT_TRUE(tool.process);
    EXPECT_EQ(WaitForExit(tool, 30s), 0u);
}

}  // namespace
}  // namespace qv
