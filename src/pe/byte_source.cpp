#include "pe/byte_source.h"

#include <algorithm>
#include <filesystem>

namespace qv::pe {

std::optional<std::vector<std::uint8_t>> MemorySource::Read(std::uint64_t offset,
                                                            std::size_t count) {
    if (!Fits(offset, count, bytes_.size())) {
        return std::nullopt;
    }
    const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(offset);
    return std::vector<std::uint8_t>(first, first + static_cast<std::ptrdiff_t>(count));
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::unique_ptr<FileSource> FileSource::Open(const std::string& path) {
    std::ifstream file(PathFromUtf8(path), std::ios::binary);
    if (!file) {
        return nullptr;
    }
    file.seekg(0, std::ios::end);
    const auto size = static_cast<std::streamoff>(file.tellg());
    if (size < 0) {
        return nullptr;
    }
    return std::unique_ptr<FileSource>(
        new FileSource(std::move(file), static_cast<std::uint64_t>(size)));
}

std::optional<std::vector<std::uint8_t>> FileSource::Read(std::uint64_t offset, std::size_t count) {
    if (!Fits(offset, count, size_)) {
        return std::nullopt;
    }
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    std::vector<std::uint8_t> bytes(count);
    if (count > 0 &&
        !file_.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count))) {
        return std::nullopt;
    }
    return bytes;
}

std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

}  // namespace qv::pe
