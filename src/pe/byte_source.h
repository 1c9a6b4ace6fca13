// Random-access reads over untrusted bytes: a file, or bytes already in memory. Every read
// is bounds-checked; a read that does not fit comes back empty.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "platform/ports.h"

namespace qv::pe {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    [[nodiscard]] virtual std::uint64_t Size() const = 0;
    // Exactly `count` bytes from `offset` into `into`; false when they are not all there.
    [[nodiscard]] virtual bool ReadInto(std::uint64_t offset, std::uint8_t* into,
                                        std::size_t count) = 0;
    // The same, as a new buffer.
    [[nodiscard]] std::optional<std::vector<std::uint8_t>> Read(std::uint64_t offset,
                                                                std::size_t count);
    // The `count` bytes at `offset` without a copy, valid until the next call on this
    // source; nullptr when they are not all there or too many to hold at once.
    [[nodiscard]] virtual const std::uint8_t* View(std::uint64_t offset, std::size_t count) = 0;
};

class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    [[nodiscard]] std::uint64_t Size() const override { return bytes_.size(); }
    bool ReadInto(std::uint64_t offset, std::uint8_t* into, std::size_t count) override;
    const std::uint8_t* View(std::uint64_t offset, std::size_t count) override;

  private:
    std::span<const std::uint8_t> bytes_;
};

// Bytes the source owns.
class BufferSource : public ByteSource {
  public:
    explicit BufferSource(std::vector<std::uint8_t> bytes)
        : bytes_(std::move(bytes)), view_(bytes_) {}
    [[nodiscard]] std::uint64_t Size() const override { return view_.Size(); }
    bool ReadInto(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
        return view_.ReadInto(offset, into, count);
    }
    const std::uint8_t* View(std::uint64_t offset, std::size_t count) override {
        return view_.View(offset, count);
    }

  private:
    std::vector<std::uint8_t> bytes_;
    MemorySource view_;
};

// A local file read through the C library (the tools' way; the programs read through the
// Files port); nullptr when it cannot be opened. The path is UTF-8 on every platform.
std::unique_ptr<platform::FileReader> OpenLocalFile(const std::string& path);
// The same, with the system's reason; a folder is refused with errc::is_a_directory.
std::unique_ptr<platform::FileReader> OpenLocalFile(const std::string& path,
                                                    std::error_code& error);

// A file, read through the platform's reader or (for the tools) the C library's.
class FileSource : public ByteSource {
  public:
    explicit FileSource(std::unique_ptr<platform::FileReader> file);
    // OpenLocalFile's file; nullptr when it cannot be opened.
    static std::unique_ptr<FileSource> Open(const std::string& path);
    // The same, with the system's reason; a folder is refused with errc::is_a_directory.
    static std::unique_ptr<FileSource> Open(const std::string& path, std::error_code& error);

    [[nodiscard]] std::uint64_t Size() const override { return size_; }
    bool ReadInto(std::uint64_t offset, std::uint8_t* into, std::size_t count) override;
    // Up to one window's worth.
    const std::uint8_t* View(std::uint64_t offset, std::size_t count) override;

  private:
    // Small reads (headers, directory entries) come from one read-ahead window, so walking
    // a directory of thousands of entries costs a few reads of the file, not thousands.
    static constexpr std::size_t kWindow = 64 * 1024;
    static constexpr std::size_t kSmallRead = 4096;

    bool ReadRaw(std::uint64_t offset, std::uint8_t* into, std::size_t count);

    std::unique_ptr<platform::FileReader> file_;
    std::uint64_t size_;
    std::unique_ptr<std::uint8_t[]> window_;
    std::size_t windowSize_ = 0;
    std::uint64_t windowStart_ = 0;
};

// A UTF-8 path as the platform's path type (wide on Windows).
std::filesystem::path PathFromUtf8(const std::string& utf8);

// Little-endian fields of bytes that were read whole; callers check the size first.
inline std::uint16_t Le16(const std::uint8_t* bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
inline std::uint32_t Le32(const std::uint8_t* bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}
inline std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return Le16(bytes.data(), at);
}
inline std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return Le32(bytes.data(), at);
}

// True when [offset, offset + count) lies inside [0, size), without overflow.
constexpr bool Fits(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
    return offset <= size && count <= size - offset;
}

}  // namespace qv::pe
