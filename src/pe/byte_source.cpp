#include "pe/byte_source.h"

#include <algorithm>

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

const std::uint8_t* MemorySource::View(std::uint64_t offset, std::size_t count) {
    if (!Fits(offset, count, bytes_.size())) {
        return nullptr;
    }
    return bytes_.data() + offset;
}

FileSource::FileSource(std::unique_ptr<platform::FileReader> file)
    : file_(std::move(file)), size_(file_->Size()) {}

bool FileSource::ReadRaw(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    while (count > 0) {
        const auto got = file_->ReadAt(offset, into, count);
        if (!got || *got == 0) {
            return false;  // an error, or the file ended early
        }
        offset += *got;
        into += *got;
        count -= *got;
    }
    return true;
}

const std::uint8_t* FileSource::View(std::uint64_t offset, std::size_t count) {
    if (!Fits(offset, count, size_) || count > kWindow) {
        return nullptr;
    }
    const bool inWindow = offset >= windowStart_ && Fits(offset - windowStart_, count, windowSize_);
    if (!inWindow) {
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size_ - offset));
        if (!window_) {
            // Not zero-filled: every byte handed out has been read into it first.
            window_ = std::make_unique_for_overwrite<std::uint8_t[]>(kWindow);
        }
        windowStart_ = offset;
        windowSize_ = length;
        if (!ReadRaw(offset, window_.get(), length)) {
            windowSize_ = 0;
            return nullptr;
        }
    }
    return window_.get() + (offset - windowStart_);
}

bool FileSource::ReadInto(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    if (!Fits(offset, count, size_)) {
        return false;
    }
    if (count > kSmallRead) {
        return ReadRaw(offset, into, count);
    }
    const std::uint8_t* bytes = View(offset, count);
    if (bytes == nullptr) {
        return false;
    }
    std::copy_n(bytes, count, into);
    return true;
}

}  // namespace qv::pe
