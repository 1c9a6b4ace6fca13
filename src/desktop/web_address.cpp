#include "desktop/web_address.h"

#include <array>
#include <utility>

#include "common/text.h"

namespace qv::desktop {

bool IsWebAddress(std::string_view address) {
    for (const char c : address) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return false;
        }
    }
    constexpr std::array<std::string_view, 2> kSchemes{"http://", "https://"};
    for (const std::string_view scheme : kSchemes) {
        if (address.size() > scheme.size() &&
            EqualsIgnoreCase(address.substr(0, scheme.size()), scheme)) {
            return true;
        }
    }
    return false;
}

WebAddressOpening OpenWebAddress(platform::Desktop& desktop, platform::WindowId owner,
                                 std::string_view address, platform::ShowCommand show) {
    if (!IsWebAddress(address)) {
        return {OpenStatus::Refused, {}};
    }
    platform::OpenResult result = desktop.OpenAddress(owner, address, show);
    if (!result.opened) {
        return {OpenStatus::Failed, std::move(result.reason)};
    }
    return {OpenStatus::Opened, {}};
}

}  // namespace qv::desktop
