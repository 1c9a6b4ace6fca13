// Files of the local file system opened by UTF-8 path, as byte sources and resource
// libraries: the tool's and the tests' way in. Apart from the sources themselves, so that a program
// that reads its files through the Files port (the saver host) links no file-system library.
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

#include "pe/byte_source.h"
#include "pe/pe_library.h"

namespace qv::pe {

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

std::unique_ptr<PeResourceLibrary> PeResourceLibrary::OpenFile(const std::string& path,
                                                               PeError& error) {
    auto source = FileSource::Open(path);
    if (!source) {
        error = PeError::NotMz;
        return nullptr;
    }
    return Open(std::move(source), error);
}

}  // namespace qv::pe
