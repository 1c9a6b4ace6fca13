// Fuzzes the screen saver descriptions over arbitrary file bytes. Besides the sanitizers'
// checks, the header reader must keep to its three small reads whatever the file says.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "settings/saver_description.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr const char* kPath = "C:\\WINDOWS\\Fuzz.scr";
    qv::platform::memory::MemoryFiles files;
    qv::platform::memory::MemoryTextRules text;
    files.AddFileBytes(kPath, std::vector<std::uint8_t>(data, data + size));
    (void)qv::settings::GetWinScreenSaverName(files, text, kPath, false);
    if (files.Reads().size() > 3) {
        std::abort();
    }
    for (const auto& read : files.Reads()) {
        if (read.count > 4096) {
            std::abort();
        }
    }
    (void)qv::settings::SaverListName(files, text, kPath, true);
    return 0;
}
