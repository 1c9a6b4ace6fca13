#include "tools/browser_link/web_link.h"

#include <array>

#include "common/text.h"

namespace qv::browser_link {

bool IsWebLink(std::string_view link) {
    for (const char c : link) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return false;
        }
    }
    constexpr std::array<std::string_view, 2> kSchemes{"http://", "https://"};
    for (const std::string_view scheme : kSchemes) {
        if (link.size() > scheme.size() &&
            EqualsIgnoreCase(link.substr(0, scheme.size()), scheme)) {
            return true;
        }
    }
    return false;
}

}  // namespace qv::browser_link
