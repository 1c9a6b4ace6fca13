#include "config/paths.h"

#include "config/names.h"

namespace qv::config {

namespace {

std::string Fitting(std::string text) {
    return text.size() < kPathBufferChars ? text : std::string();
}

}  // namespace

std::optional<std::string> ShortPathWithin512(platform::Files& files, std::string_view path) {
    auto shortPath = files.ShortPath(path);
    if (!shortPath || shortPath->size() >= kPathBufferChars) {
        return std::nullopt;
    }
    return shortPath;
}

std::string WindowsDirectory512(platform::Files& files) {
    return Fitting(files.WindowsDirectory());
}

std::string SystemDirectory512(platform::Files& files) {
    return Fitting(files.SystemDirectory());
}

}  // namespace qv::config
