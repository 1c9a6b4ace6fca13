// tessel: packs, lists, extracts and checks Tessel files.
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tools/tessel/tessel_tool.h"

#ifdef _WIN32
#include <windows.h>

#include "base/win32/wide.h"
#include "making/win32/system_picture_reader.h"

namespace {

// The monitor of the most pixels, in physical pixels (the tool is aware of each monitor's
// DPI through its manifest).
BOOL CALLBACK KeepLargest(HMONITOR, HDC, LPRECT rect, LPARAM data) {
    auto* largest = reinterpret_cast<std::optional<qv::making::FitBox>*>(data);
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    if (!*largest ||
        std::int64_t{width} * height > std::int64_t{(*largest)->width} * (*largest)->height) {
        *largest = qv::making::FitBox{width, height};
    }
    return TRUE;
}

std::optional<qv::making::FitBox> LargestMonitor() {
    std::optional<qv::making::FitBox> largest;
    ::EnumDisplayMonitors(nullptr, nullptr, KeepLargest, reinterpret_cast<LPARAM>(&largest));
    return largest;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(qv::winbase::Narrow(argv[i]));
    }
    ::SetConsoleOutputCP(CP_UTF8);
    const qv::tools::ToolHost host{qv::making::win32::SystemPictureReader, LargestMonitor};
    return qv::tools::RunTesselTool(args, host, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    return qv::tools::RunTesselTool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                    std::cerr);
}
#endif
