// Random-access reads over untrusted bytes: a file, or bytes already in memory. Every read
// is bounds-checked; a read that does not fit comes back empty.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

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
};

class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    [[nodiscard]] std::uint64_t Size() const override { return bytes_.size(); }
    bool ReadInto(std::uint64_t offset, std::uint8_t* into, std::size_t count) override;

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

  private:
    std::vector<std::uint8_t> bytes_;
    MemorySource view_;
};

class FileSource : public ByteSource {
  public:
    // nullptr when the file cannot be opened. The path is UTF-8 on every platform.
    static std::unique_ptr<FileSource> Open(const std::string& path);

    [[nodiscard]] std::uint64_t Size() const override { return size_; }
    bool ReadInto(std::uint64_t offset, std::uint8_t* into, std::size_t count) override;

  private:
    // Small reads (headers, directory entries) come from one read-ahead window, so walking
    // a directory of thousands of entries costs a few reads of the file, not thousands.
    static constexpr std::size_t kWindow = 64 * 1024;
    static constexpr std::size_t kSmallRead = 4096;

    FileSource(std::ifstream file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
    bool ReadRaw(std::uint64_t offset, std::uint8_t* into, std::size_t count);

    std::ifstream file_;
    std::uint64_t size_;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
};

// A UTF-8 path as the platform's path type (wide on Windows).
std::filesystem::path PathFromUtf8(const std::string& utf8);

// Little-endian fields of a buffer that was read whole; callers check the size first.
std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t at);
std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at);

// True when [offset, offset + count) lies inside [0, size), without overflow.
constexpr bool Fits(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
    return offset <= size && count <= size - offset;
}

}  // namespace qv::pe
