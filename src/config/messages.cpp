#include "config/messages.h"

#include <string>

#include "config/names.h"

namespace qv::config {

void ShowHostMessage(platform::Dialogs& dialogs, std::string_view text) {
    platform::MessageBoxRequest request;
    request.text = std::string(text);
    request.caption = std::string(text::HostCaption);
    dialogs.Show(request);
}

void ShowUncaptionedMessage(platform::Dialogs& dialogs, std::string_view text) {
    platform::MessageBoxRequest request;
    request.text = std::string(text);
    dialogs.Show(request);
}

}  // namespace qv::config
