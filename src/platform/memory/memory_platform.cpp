#include "platform/memory/memory_platform.h"

#include <algorithm>

#include "common/text.h"

namespace qv::platform::memory {

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return LowerAscii(x) < LowerAscii(y);
    });
}

MemoryPlatform::MemoryPlatform()
    : platform_{registry, profile, files,     processes, desktop,
                system,   dialogs, libraries, clock,     text} {}

}  // namespace qv::platform::memory
