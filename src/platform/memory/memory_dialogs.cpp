#include "platform/memory/memory_platform.h"

namespace qv::platform::memory {

Answer MemoryDialogs::Show(const MessageBoxRequest& request) {
    shown.push_back(request);
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return request.buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

std::vector<std::string> MemoryDialogs::Texts() const {
    std::vector<std::string> texts;
    for (const auto& r : shown) {
        texts.push_back(r.text);
    }
    return texts;
}

}  // namespace qv::platform::memory
