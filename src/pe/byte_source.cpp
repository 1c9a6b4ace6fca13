#include "pe/byte_source.h"

#include <algorithm>
#include <filesystem>

namespace qv::pe {

std::optional<std::vector<std::uint8_t>> ByteSource::Read(std::uint64_t offset, std::size_t count) {
    if (!Fits(offset, count, Size())) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(count);
    if (count > 0 && !ReadInto(offset, bytes.data(), count)) {
        return std::nullopt;
    }
    return bytes;
}

bool MemorySource::ReadInto(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    if (!Fits(offset, count, bytes_.size())) {
        return false;
    }
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), count, into);
    return true;
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

bool FileSource::ReadRaw(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(
        file_.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(count)));
}

bool FileSource::ReadInto(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    if (!Fits(offset, count, size_)) {
        return false;
    }
    if (count > kSmallRead) {
        return ReadRaw(offset, into, count);
    }
    const bool inWindow =
        offset >= windowStart_ && Fits(offset - windowStart_, count, window_.size());
    if (!inWindow) {
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size_ - offset));
        window_.resize(length);
        windowStart_ = offset;
        if (!ReadRaw(offset, window_.data(), length)) {
            window_.clear();
            return false;
        }
    }
    std::copy_n(window_.begin() + static_cast<std::ptrdiff_t>(offset - windowStart_), count, into);
    return true;
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
