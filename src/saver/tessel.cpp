#include "saver/tessel.h"

#include "common/text.h"

namespace qv::saver {

bool IsPictureName(std::string_view name) {
    return ContainsIgnoreCase(name, "jpeg");
}

std::string CutToChars(std::string_view utf8, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if ((byte & 0xC0) != 0x80) {  // a character starts here
            if (chars == maxChars) {
                return std::string(utf8.substr(0, i));
            }
            ++chars;
        }
    }
    return std::string(utf8);
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
