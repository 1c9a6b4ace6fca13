#include "platform/messages.h"

#include <string>

namespace qv::platform {

void ShowHostMessage(Dialogs& dialogs, std::string_view text) {
    MessageBoxRequest request;
    request.text = std::string(text);
    request.caption = std::string(kHostCaption);
    dialogs.Show(request);
}

void ShowUncaptionedMessage(Dialogs& dialogs, std::string_view text) {
    MessageBoxRequest request;
    request.text = std::string(text);
    dialogs.Show(request);
}

}  // namespace qv::platform
