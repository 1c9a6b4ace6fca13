// tessel: packs, lists, extracts and checks Tessel files.
#include <iostream>
#include <string>
#include <vector>

#include "tools/tessel/tessel_tool.h"

#ifdef _WIN32
#include <windows.h>

#include "base/win32/wide.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(qv::winbase::Narrow(argv[i]));
    }
    ::SetConsoleOutputCP(CP_UTF8);
    return qv::tools::RunTesselTool(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    return qv::tools::RunTesselTool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                    std::cerr);
}
#endif
