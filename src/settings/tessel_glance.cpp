#include "settings/tessel_glance.h"

#include <algorithm>
#include <memory>

#include "common/text.h"
#include "desktop/web_address.h"
#include "imaging/jpeg_header.h"
#include "imaging/prepare_frame.h"
#include "pe/pe_library.h"

namespace qv::settings {

namespace {

// The show's rules for what a Tessel holds: a named RT_RCDATA entry whose name contains
// "jpeg" in any case is a picture, and strings 1 to 8 are the link areas' addresses, read
// into a 513-character buffer.
constexpr std::string_view kPictureMark = "jpeg";
constexpr unsigned kLinkCount = 8;
constexpr std::size_t kLinkMaxBytes = 512 * 4;

std::string SizeText(PixelSize size) {
    return std::to_string(size.width) + " x " + std::to_string(size.height);
}

long long Area(PixelSize size) {
    return static_cast<long long>(size.width) * size.height;
}

void ReadPictures(pe::PeResourceLibrary& library, TesselGlance& glance) {
    bool first = true;
    for (const std::string& name : library.RcDataNames()) {
        if (!ContainsIgnoreCase(name, kPictureMark)) {
            continue;
        }
        ++glance.pictures;
        const auto data = library.RcData(name);
        const auto header =
            data ? imaging::ReadJpegHeader(*data) : std::optional<imaging::JpegInfo>();
        if (first && data) {
            // The first picture, decoded at the smallest scale that still fills the box.
            imaging::PreparedFrame prepared =
                imaging::PrepareFrame(*data, kThumbnailMaxWidth, kThumbnailMaxHeight,
                                      {.enlarge = imaging::Enlarge::Never});
            if (prepared.status == imaging::DecodeStatus::Ok) {
                glance.thumbnail = std::move(prepared.frame);
            }
        }
        first = false;
        if (!header) {
            ++glance.unreadable;
            continue;
        }
        const PixelSize size{header->width, header->height};
        if (glance.pictures - glance.unreadable == 1 || Area(size) < Area(glance.smallest)) {
            glance.smallest = size;
        }
        if (Area(size) > Area(glance.largest)) {
            glance.largest = size;
        }
    }
}

}  // namespace

std::string LinkHost(std::string_view address) {
    if (!desktop::IsWebAddress(address)) {
        return {};
    }
    std::string_view rest = address.substr(address.find("//") + 2);
    rest = rest.substr(0, rest.find_first_of("/?#\\"));
    if (const auto at = rest.rfind('@'); at != std::string_view::npos) {
        rest = rest.substr(at + 1);
    }
    if (!rest.empty() && rest.front() == '[') {
        return std::string(rest.substr(0, rest.find(']') + 1));  // a literal IPv6 address
    }
    return std::string(rest.substr(0, rest.find(':')));
}

TesselGlance GlanceAt(platform::Files& files, std::string_view path) {
    TesselGlance glance;
    auto file = files.OpenForReading(path, platform::Sharing::ReadDelete);
    if (!file) {
        glance.damage = "The file cannot be opened.";
        return glance;
    }
    pe::PeError error = pe::PeError::NotMz;
    const auto library =
        pe::PeResourceLibrary::Open(std::make_unique<pe::FileSource>(std::move(file)), error);
    if (!library) {
        glance.damage = "It is damaged: the file is not a Tessel.";
        return glance;
    }
    ReadPictures(*library, glance);
    for (unsigned k = 1; k <= kLinkCount; ++k) {
        const auto link = library->String(k);
        if (link && !link->empty()) {
            std::size_t end = std::min(link->size(), kLinkMaxBytes);
            while (end < link->size() &&
                   (static_cast<unsigned char>((*link)[end]) & 0xC0) == 0x80) {
                --end;  // never inside a character
            }
            const std::string address = link->substr(0, end);
            glance.links.push_back({static_cast<int>(k), address, LinkHost(address)});
        }
    }
    if (glance.pictures == 0) {
        glance.damage = "It holds no pictures.";
    } else if (!glance.thumbnail) {
        glance.damage = "It is damaged: its first picture cannot be read.";
    } else if (glance.unreadable > 0) {
        glance.damage = "It is damaged: " + std::to_string(glance.unreadable) + " of its " +
                        std::to_string(glance.pictures) + " pictures cannot be read.";
    }
    return glance;
}

std::string GlanceText(std::string_view title, const TesselGlance& glance) {
    std::string text(title);
    const std::size_t readable = glance.pictures - glance.unreadable;
    if (glance.pictures > 0) {
        text += "\n" + std::to_string(glance.pictures) +
                (glance.pictures == 1 ? " picture" : " pictures");
        if (readable > 0) {
            text += glance.smallest == glance.largest
                        ? ", " + SizeText(glance.largest)
                        : ", " + SizeText(glance.smallest) + " to " + SizeText(glance.largest);
        }
    }
    if (!glance.damage.empty()) {
        text += "\n" + glance.damage;
    }
    if (glance.links.empty()) {
        text += "\nNo links.";
    }
    for (const TesselLink& link : glance.links) {
        text += "\nLink " + std::to_string(link.number) + ": " +
                (link.host.empty() ? "not a web address" : link.host) + " (" + link.address + ")";
    }
    return text;
}

}  // namespace qv::settings
