#include "making/win32/system_picture_reader.h"

#include <wincodec.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <utility>

#include "base/win32/system_error.h"
#include "base/win32/wide.h"
#include "making/picture_file.h"
#include "making/standard_picture_reader.h"

namespace qv::making::win32 {

namespace {

// Extensions the system's imaging component decodes on every system since Vista, and the
// ones it decodes where a codec is installed (HEIF and WebP come from the Store).
constexpr std::array<std::string_view, 10> kSystemExtensions = {
    ".bmp", ".dib", ".gif", ".tif", ".tiff", ".heic", ".heif", ".webp", ".jxr", ".wdp"};

// One reference to a COM object, released when it goes.
template <typename T>
class ComRef {
  public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    T* operator->() const { return object_; }
    T* Get() const { return object_; }
    T** Out() { return &object_; }

  private:
    T* object_ = nullptr;
};

// COM on the calling thread for one read. A thread that has COM in another apartment
// already (a window's thread) keeps it; only what was started here is ended here.
class ComOnThisThread {
  public:
    ComOnThisThread() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ComOnThisThread(const ComOnThisThread&) = delete;
    ComOnThisThread& operator=(const ComOnThisThread&) = delete;
    ~ComOnThisThread() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    [[nodiscard]] bool Usable() const {
        return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE;
    }

  private:
    HRESULT result_;
};

std::string Why(HRESULT result) {
    if (result == WINCODEC_ERR_COMPONENTNOTFOUND || result == WINCODEC_ERR_UNKNOWNIMAGEFORMAT) {
        return "not a picture this system can decode";
    }
    if (result == WINCODEC_ERR_BADHEADER || result == WINCODEC_ERR_BADIMAGE ||
        result == WINCODEC_ERR_STREAMREAD || result == WINCODEC_ERR_FRAMEMISSING) {
        return "a damaged picture";
    }
    return winbase::SystemErrorText(static_cast<DWORD>(result));
}

// The first frame, composited on black (premultiplied alpha is exactly that), as BGR rows
// from the bottom up.
PictureRead Decode(IWICImagingFactory& factory, const std::string& path,
                   std::optional<FitBox> fit) {
    ComRef<IWICBitmapDecoder> decoder;
    HRESULT result =
        factory.CreateDecoderFromFilename(winbase::Widen(path).c_str(), nullptr, GENERIC_READ,
                                          WICDecodeMetadataCacheOnDemand, decoder.Out());
    ComRef<IWICBitmapFrameDecode> frame;
    if (SUCCEEDED(result)) {
        result = decoder->GetFrame(0, frame.Out());
    }
    UINT width = 0;
    UINT height = 0;
    if (SUCCEEDED(result)) {
        result = frame->GetSize(&width, &height);
    }
    if (FAILED(result)) {
        return {false, Why(result), {}, {}};
    }
    const imaging::DecodeLimits limits;
    if (width > static_cast<UINT>(limits.maxDimension) ||
        height > static_cast<UINT>(limits.maxDimension) ||
        std::uint64_t{width} * height > limits.maxPixels) {
        return {false, TooLargeReason(width, height, limits), {}, {}};
    }
    ComRef<IWICBitmapSource> converted;
    result = WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.Get(), converted.Out());
    std::vector<std::uint8_t> bgra(std::size_t{width} * height * 4);
    if (SUCCEEDED(result)) {
        result =
            converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(bgra.size()), bgra.data());
    }
    if (FAILED(result)) {
        return {false, Why(result), {}, {}};
    }
    PictureRead read{true, {}, {}, {}};
    read.frame.width = static_cast<int>(width);
    read.frame.height = static_cast<int>(height);
    read.frame.stride = imaging::DibStride(read.frame.width);
    read.frame.pixels.assign(read.frame.stride * height, 0);
    for (UINT y = 0; y < height; ++y) {
        const std::uint8_t* from = bgra.data() + std::size_t{y} * width * 4;
        std::uint8_t* to =
            read.frame.pixels.data() + std::size_t{height - 1 - y} * read.frame.stride;
        for (UINT x = 0; x < width; ++x, from += 4, to += 3) {
            std::memcpy(to, from, 3);
        }
    }
    bgra = {};
    if (!FitFrame(read.frame, fit)) {
        return {false, "a picture that cannot be resized", {}, {}};
    }
    return read;
}

class SystemReader final : public PictureReader {
  public:
    [[nodiscard]] bool Knows(std::string_view path) const override {
        const std::string extension = LowerExtension(std::string(path));
        return standard_->Knows(path) ||
               std::find(kSystemExtensions.begin(), kSystemExtensions.end(), extension) !=
                   kSystemExtensions.end();
    }

    [[nodiscard]] PictureRead Read(const std::string& path, std::optional<FitBox> fit) override {
        if (standard_->Knows(path)) {
            return standard_->Read(path, fit);
        }
        // The same plain reasons as the standard reader for what is no picture file at all.
        std::error_code error;
        const std::filesystem::path file(winbase::Widen(path));
        const auto status = std::filesystem::status(file, error);
        if (std::filesystem::is_directory(status)) {
            return {false, "is a folder, not a file", {}, {}};
        }
        if (std::filesystem::is_regular_file(status) &&
            std::filesystem::file_size(file, error) == 0) {
            return {false, "an empty file", {}, {}};
        }
        const ComOnThisThread com;
        if (!com.Usable()) {
            return {false, "the system's imaging component cannot be started", {}, {}};
        }
        ComRef<IWICImagingFactory> factory;
        const HRESULT made = CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                              CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.Out()));
        if (FAILED(made)) {
            return {
                false, "the system's imaging component cannot be started: " + Why(made), {}, {}};
        }
        return Decode(*factory.Get(), path, fit);
    }

  private:
    std::unique_ptr<PictureReader> standard_ = StandardPictureReader();
};

}  // namespace

std::unique_ptr<PictureReader> SystemPictureReader() {
    return std::make_unique<SystemReader>();
}

}  // namespace qv::making::win32
