#include "pe/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
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

const std::uint8_t* MemorySource::View(std::uint64_t offset, std::size_t count) {
    if (!Fits(offset, count, bytes_.size())) {
        return nullptr;
    }
    return bytes_.data() + offset;
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

namespace {

// A plain file descriptor, unbuffered: the source's window is the buffer, and opening one
// costs less than a stream, which matters when a folder of Tessels is listed.
class DescriptorReader : public platform::FileReader {
  public:
    static std::unique_ptr<DescriptorReader> Open(const std::string& path, std::error_code& error);
    ~DescriptorReader() override;
    DescriptorReader(const DescriptorReader&) = delete;
    DescriptorReader& operator=(const DescriptorReader&) = delete;

    [[nodiscard]] std::uint64_t Size() const override { return size_; }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* into,
                                      std::size_t count) override;

  private:
    DescriptorReader(int descriptor, std::uint64_t size) : descriptor_(descriptor), size_(size) {}
    int descriptor_;
    std::uint64_t size_;
};

#ifdef _WIN32
int OpenDescriptor(const std::string& path) {
    return _wopen(PathFromUtf8(path).c_str(), _O_RDONLY | _O_BINARY);
}
std::int64_t SizeOf(int descriptor) {
    struct _stat64 status {};
    return _fstat64(descriptor, &status) == 0 ? status.st_size : -1;
}
bool IsFolder(int descriptor) {
    struct _stat64 status {};
    return _fstat64(descriptor, &status) == 0 && (status.st_mode & _S_IFDIR) != 0;
}
std::int64_t ReadDescriptor(int descriptor, std::uint64_t offset, std::uint8_t* into,
                            std::size_t count) {
    if (_lseeki64(descriptor, static_cast<__int64>(offset), SEEK_SET) < 0) {
        return -1;
    }
    constexpr std::size_t kMost = 1u << 30;
    return _read(descriptor, into, static_cast<unsigned>(std::min(count, kMost)));
}
void CloseDescriptor(int descriptor) {
    _close(descriptor);
}
#else
int OpenDescriptor(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}
std::int64_t SizeOf(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 ? status.st_size : -1;
}
bool IsFolder(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode);
}
std::int64_t ReadDescriptor(int descriptor, std::uint64_t offset, std::uint8_t* into,
                            std::size_t count) {
    return ::pread(descriptor, into, count, static_cast<off_t>(offset));
}
void CloseDescriptor(int descriptor) {
    ::close(descriptor);
}
#endif

std::unique_ptr<DescriptorReader> DescriptorReader::Open(const std::string& path,
                                                         std::error_code& error) {
    const int descriptor = OpenDescriptor(path);
    if (descriptor < 0) {
        error = std::error_code(errno, std::generic_category());
        // Windows refuses to open a folder with "permission denied", which misleads.
        std::error_code ignored;
        if (std::filesystem::is_directory(PathFromUtf8(path), ignored)) {
            error = std::make_error_code(std::errc::is_a_directory);
        }
        return nullptr;
    }
    const std::int64_t size = SizeOf(descriptor);
    if (size < 0) {
        error = std::error_code(errno, std::generic_category());
        CloseDescriptor(descriptor);
        return nullptr;
    }
    // POSIX opens a folder, and only its reads fail.
    if (IsFolder(descriptor)) {
        error = std::make_error_code(std::errc::is_a_directory);
        CloseDescriptor(descriptor);
        return nullptr;
    }
    error.clear();
    return std::unique_ptr<DescriptorReader>(
        new DescriptorReader(descriptor, static_cast<std::uint64_t>(size)));
}

DescriptorReader::~DescriptorReader() {
    CloseDescriptor(descriptor_);
}

std::optional<std::size_t> DescriptorReader::ReadAt(std::uint64_t offset, std::uint8_t* into,
                                                    std::size_t count) {
    const std::int64_t got = ReadDescriptor(descriptor_, offset, into, count);
    if (got < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(got);
}

}  // namespace

std::unique_ptr<platform::FileReader> OpenLocalFile(const std::string& path,
                                                    std::error_code& error) {
    return DescriptorReader::Open(path, error);
}

std::unique_ptr<platform::FileReader> OpenLocalFile(const std::string& path) {
    std::error_code ignored;
    return OpenLocalFile(path, ignored);
}

FileSource::FileSource(std::unique_ptr<platform::FileReader> file)
    : file_(std::move(file)), size_(file_->Size()) {}

std::unique_ptr<FileSource> FileSource::Open(const std::string& path) {
    std::error_code ignored;
    return Open(path, ignored);
}

std::unique_ptr<FileSource> FileSource::Open(const std::string& path, std::error_code& error) {
    auto file = OpenLocalFile(path, error);
    if (!file) {
        return nullptr;
    }
    return std::make_unique<FileSource>(std::move(file));
}

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
