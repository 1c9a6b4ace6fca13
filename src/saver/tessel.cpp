#include "saver/tessel.h"

#include "common/text.h"
#include "common/utf.h"

namespace qv::saver {

bool IsPictureName(std::string_view name) {
    return ContainsIgnoreCase(name, "jpeg");
}

std::string CutToChars(std::string_view utf8, std::size_t maxChars) {
    std::size_t at = 0;
    for (std::size_t chars = 0; chars < maxChars && at < utf8.size(); ++chars) {
        at += DecodeUtf8At(utf8, at).length;
    }
    return std::string(utf8.substr(0, at));
}

Tessel ReadTessel(pe::PeResourceLibrary& library) {
    Tessel tessel;
    auto names = library.RcDataNames();
    tessel.pictures.reserve(names.size());
    for (auto& name : names) {
        if (IsPictureName(name)) {
            tessel.pictures.push_back(std::move(name));
        }
    }
    for (std::size_t k = 0; k < kLinkCount; ++k) {
        const auto link = library.String(static_cast<unsigned>(k + 1));
        tessel.links[k] = link ? CutToChars(*link, kLinkMaxChars) : std::string();
    }
    return tessel;
}

std::unique_ptr<pe::PeResourceLibrary> OpenTessel(platform::Files& files, std::string_view path) {
    auto file = files.OpenForReading(path, platform::Sharing::ReadDelete);
    if (!file) {
        return nullptr;
    }
    pe::PeError error = pe::PeError::NotMz;
    return pe::PeResourceLibrary::Open(std::make_unique<pe::FileSource>(std::move(file)), error);
}

}  // namespace qv::saver
