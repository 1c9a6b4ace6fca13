#include "making/tessel_maker.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "common/text.h"
#include "common/utf.h"
#include "desktop/web_address.h"
#include "making/jpeg_encoder.h"
#include "pe/byte_source.h"
#include "pe/pe_writer.h"

namespace qv::making {

namespace {

// The show reads a Tessel whole into a 32-bit program.
constexpr std::uint64_t kMaxTesselDataBytes = std::uint64_t{1} << 30;
constexpr std::size_t kLinkMaxChars = 512;

std::string Utf8(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return {text.begin(), text.end()};
}

std::string Stem(const std::string& path) {
    return Utf8(pe::PathFromUtf8(path).stem());
}

// The name form a picture gets in the Tessel, before it is made unique.
std::string NameForm(const std::string& path) {
    return pe::ResourceNameForm(Stem(path));
}

std::string WithJpegMark(std::string name) {
    if (!ContainsIgnoreCase(name, "jpeg")) {
        name += "_JPEG";
    }
    return name;
}

// The system's reason for the last failed stream operation; streams keep none of their own.
std::string LastReason() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category()).message();
}

std::optional<std::string> CheckLinks(const std::array<std::string, 8>& links) {
    for (std::size_t k = 0; k < links.size(); ++k) {
        const std::string& link = links[k];
        if (link.empty()) {
            continue;
        }
        const std::string which = "link " + std::to_string(k + 1);
        if (!desktop::IsWebAddress(link)) {
            return which + " is not a web address (http:// or https://): " + link;
        }
        if (Utf16FromUtf8(link).size() > kLinkMaxChars) {
            return which + " is longer than 512 characters";
        }
    }
    return std::nullopt;
}

// Files beside the target that hold the make until it is complete; removed when the make
// ends, whatever its end, unless moved over the target.
class ScratchFiles {
  public:
    explicit ScratchFiles(const std::string& target) {
        std::random_device random;
        const std::string mark = std::to_string(random() % 1'000'000'000u);
        part_ = pe::PathFromUtf8(target + ".making-" + mark);
        spool_ = pe::PathFromUtf8(target + ".making-" + mark + ".data");
    }
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;
    ~ScratchFiles() {
        std::error_code ignored;
        std::filesystem::remove(spool_, ignored);
        std::filesystem::remove(part_, ignored);
    }
    [[nodiscard]] const std::filesystem::path& Part() const { return part_; }
    [[nodiscard]] const std::filesystem::path& Spool() const { return spool_; }

  private:
    std::filesystem::path part_;
    std::filesystem::path spool_;
};

class Making {
  public:
    Making(const MakeRequest& request, PictureReader& reader, const MakeProgress& progress)
        : request_(request), reader_(reader), progress_(progress), scratch_(request.target) {}

    MakeResult Run() {
        if (const auto bad = CheckLinks(request_.links)) {
            return Ended(MakeStatus::BadLink, *bad);
        }
        errno = 0;
        spool_.open(scratch_.Spool(),
                    std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
        if (!spool_) {
            return Ended(MakeStatus::WriteFailed,
                         "cannot write beside " + request_.target + ": " + LastReason());
        }
        const std::size_t total = request_.pictures.size();
        for (std::size_t i = 0; i < total; ++i) {
            if (auto failed = Pack(request_.pictures[i])) {
                return Ended(MakeStatus::WriteFailed, *failed);
            }
            if (progress_ && !progress_(i + 1, total)) {
                return Ended(MakeStatus::Cancelled, {});
            }
        }
        if (result_.packed == 0) {
            return Ended(MakeStatus::NoReadablePicture, "none of the pictures could be read");
        }
        if (auto failed = Complete()) {
            return Ended(MakeStatus::WriteFailed, *failed);
        }
        return Ended(MakeStatus::Made, {});
    }

  private:
    MakeResult Ended(MakeStatus status, std::string reason) {
        spool_.close();
        result_.status = status;
        result_.reason = std::move(reason);
        return std::move(result_);
    }

    // One picture read, fitted and encoded into the spool; a write failure in words.
    std::optional<std::string> Pack(const std::string& picture) {
        auto read = reader_.Read(picture, request_.fit);
        if (!read.ok) {
            result_.skipped.push_back({picture, read.reason});
            return std::nullopt;
        }
        std::optional<std::vector<std::uint8_t>> encoded;
        if (request_.keepReadyJpegs && !read.jpeg.empty()) {
            encoded = std::move(read.jpeg);
        } else {
            read.jpeg = {};
            encoded = EncodeJpeg(read.frame, request_.quality);
        }
        read.frame = {};
        if (!encoded) {
            result_.skipped.push_back({picture, "cannot be encoded as a JPEG"});
            return std::nullopt;
        }
        if (encoded->size() > kMaxTesselDataBytes - spooled_.DataBytes()) {
            return "the pictures come to more than a Tessel can hold (1 GB)";
        }
        errno = 0;
        if (!spooled_.AddRcData(UniqueName(picture), *encoded)) {
            return "cannot write beside " + request_.target + ": " + LastReason();
        }
        ++result_.packed;
        return std::nullopt;
    }

    // Two pictures of one name (a.jpg and a.png) both go in, the later one as A~2_JPEG,
    // which sorts right after A_JPEG.
    std::string UniqueName(const std::string& picture) {
        const std::string base = NameForm(picture);
        std::string name = PictureName(picture);
        for (int n = 2; !names_.insert(name).second; ++n) {
            name = WithJpegMark(base + "~" + std::to_string(n));
        }
        return name;
    }

    // Writes the library beside the target and moves it over the target.
    std::optional<std::string> Complete() {
        std::map<std::uint16_t, std::string> strings;
        for (std::size_t k = 0; k < request_.links.size(); ++k) {
            if (!request_.links[k].empty()) {
                strings[static_cast<std::uint16_t>(k + 1)] = request_.links[k];
            }
        }
        spooled_.SetStrings(std::move(strings));
        errno = 0;
        std::ofstream out(scratch_.Part(), std::ios::binary | std::ios::trunc);
        const bool written = out && spooled_.Finish(out);
        out.close();
        if (!written || !out) {
            return "cannot write beside " + request_.target + ": " + LastReason();
        }
        spool_.close();
        std::error_code error;
        std::filesystem::rename(scratch_.Part(), pe::PathFromUtf8(request_.target), error);
        if (error) {
            return "cannot write " + request_.target + ": " + error.message();
        }
        return std::nullopt;
    }

    const MakeRequest& request_;
    PictureReader& reader_;
    const MakeProgress& progress_;
    ScratchFiles scratch_;
    std::fstream spool_;
    pe::ResourceLibraryStream spooled_{spool_};
    std::set<std::string> names_;
    MakeResult result_;
};

}  // namespace

std::string PictureName(std::string_view path) {
    return WithJpegMark(NameForm(std::string(path)));
}

MakeResult MakeTessel(const MakeRequest& request, PictureReader& reader,
                      const MakeProgress& progress) {
    return Making(request, reader, progress).Run();
}

std::vector<std::string> PicturesInFolder(std::string_view folder, const PictureReader& reader) {
    struct Found {
        std::u16string name;
        std::string path;
    };
    std::vector<Found> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(pe::PathFromUtf8(std::string(folder)), error), end;
         !error && it != end; it.increment(error)) {
        std::error_code ignored;
        const std::string path = Utf8(it->path());
        if (it->is_regular_file(ignored) && reader.Knows(path)) {
            found.push_back({Utf16FromUtf8(NameForm(path)), path});
        }
    }
    // In the order the Tessel will show them: by the names they get there.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.name != b.name ? a.name < b.name : a.path < b.path;
    });
    std::vector<std::string> pictures;
    for (auto& f : found) {
        pictures.push_back(std::move(f.path));
    }
    return pictures;
}

}  // namespace qv::making
