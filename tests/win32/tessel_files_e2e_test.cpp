// Tessel files under the system loader: what Windows sees in them is what our own reader
// sees, for files from `tessel pack` and from windres.
#include <windows.h>

#include <gtest/gtest.h>

#include "pe/pe_library.h"
#include "pe/pe_writer.h"
#include "platform/win32/win32_platform.h"
#include "saver/tessel.h"
#include "test_jpegs.h"
#include "base/win32/wide.h"
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

// Our reader's view, as the programs read a Tessel: through the Files port.
std::unique_ptr<pe::PeResourceLibrary> OpenAsTheProgramsDo(const std::string& path) {
    platform::win32::Win32Files files;
    return saver::OpenTessel(files, path);
}

// The loader's bytes of one RT_RCDATA entry.
std::optional<std::vector<std::uint8_t>> LoaderBytes(const std::string& path,
                                                     const std::string& name) {
    const HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HRSRC info = ::FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10));
    std::optional<std::vector<std::uint8_t>> bytes;
    if (info != nullptr) {
        const auto* data =
            static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, info)));
        bytes.emplace(data, data + ::SizeofResource(module, info));
    }
    ::FreeLibrary(module);
    return bytes;
}

Seen SeenByOurReader(const std::string& path) {
    Seen seen;
    auto library = OpenAsTheProgramsDo(path);
    EXPECT_TRUE(library) << path;
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

TEST_F(TesselFiles, PicturesReadThroughTheFilesPortAreTheLoadersBytes) {
    for (const std::string& path : {Packed(), Utf8(SiblingPath(L"windres_tessel.dll"))}) {
        auto ours = OpenAsTheProgramsDo(path);
        ASSERT_TRUE(ours) << path;
        const auto tessel = saver::ReadTessel(*ours);
        ASSERT_FALSE(tessel.pictures.empty());
        for (const auto& name : tessel.pictures) {
            EXPECT_EQ(LoaderBytes(path, name), ours->RcData(name)) << name;
        }
    }
}

TEST_F(TesselFiles, NonLibraryAndFolderAreRefusedByBoth) {
    const std::wstring path = folder.path() + L"\\text.tsl";
    WriteFile(path, "just some text, no library");
    EXPECT_EQ(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
    EXPECT_FALSE(OpenAsTheProgramsDo(Utf8(path)));
    EXPECT_FALSE(OpenAsTheProgramsDo(Utf8(folder.path())));
    EXPECT_FALSE(OpenAsTheProgramsDo(Utf8(folder.path() + L"\\missing.tsl")));
}

TEST_F(TesselFiles, TheWindowsToolChecksAPackedFile) {
    const std::string path = Packed();
    const Child tool = StartProgram(L"\"" + SiblingPath(L"tessel.exe") + L"\" check \"" +
                                    winbase::Widen(path) + L"\"");
    ASSERT_TRUE(tool.process);
    EXPECT_EQ(WaitForExit(tool, 30s), 0u);
}

}  // namespace
}  // namespace qv
