#include "settings/saver_description.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "common/text.h"
#include "common/utf.h"
#include "pe/pe_library.h"

namespace qv::settings {

namespace {

using Bytes = std::vector<std::uint8_t>;

// The first read takes a page: the DOS header, and in nearly every file the new header and
// a PE section table as well. A page costs the disk what 64 bytes cost, and it spares the
// second stretch and the PE reader's own header reads.
constexpr std::size_t kFirstRead = 4096;
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderOffsetField = 0x3C;
constexpr std::size_t kNeHeaderSize = 64;
constexpr std::size_t kNonResidentTableField = 44;
// The table's length byte and the description's characters.
constexpr std::size_t kDescriptionRead = 1 + kModuleDescriptionMaxChars;

// `into.size()` bytes at `offset`, from the first page when they lie in it and otherwise
// with one read of the file; false when the file ends before them.
bool ReadStretch(platform::FileReader& file, std::span<const std::uint8_t> head,
                 std::uint64_t offset, std::span<std::uint8_t> into) {
    if (pe::Fits(offset, into.size(), head.size())) {
        std::copy_n(head.begin() + static_cast<std::ptrdiff_t>(offset), into.size(), into.begin());
        return true;
    }
    const auto got = file.ReadAt(offset, into.data(), into.size());
    return got && *got == into.size();
}

// The file for the PE reader, whose header reads are then answered from the page already
// read: naming a PE saver costs one more read, of its resource directory, as a rule.
class HeadFirstSource : public pe::ByteSource {
  public:
    HeadFirstSource(Bytes head, std::unique_ptr<platform::FileReader> file)
        : head_(std::move(head)), rest_(std::move(file)) {}
    [[nodiscard]] std::uint64_t Size() const override { return rest_.Size(); }
    bool ReadInto(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
        if (pe::Fits(offset, count, head_.size())) {
            std::copy_n(head_.begin() + static_cast<std::ptrdiff_t>(offset), count, into);
            return true;
        }
        return rest_.ReadInto(offset, into, count);
    }
    const std::uint8_t* View(std::uint64_t offset, std::size_t count) override {
        if (pe::Fits(offset, count, head_.size())) {
            return head_.data() + offset;
        }
        return rest_.View(offset, count);
    }

  private:
    Bytes head_;
    pe::FileSource rest_;
};

// The name in the non-resident name table's first entry, the module description. Savers
// write it as "SCRNSAVE : name"; the length byte is passed over, as the text ends at its
// NUL (the entry's ordinal follows it).
std::string NameFromModuleDescription(std::span<const std::uint8_t> table,
                                      platform::TextRules& text) {
    const auto bytes = table.subspan(1, kModuleDescriptionMaxChars);
    std::string name(bytes.begin(), std::find(bytes.begin(), bytes.end(), std::uint8_t{0}));
    const auto marker = ToUpperAscii(name).find("SCRNSAVE");
    if (marker != std::string::npos) {
        name.erase(marker, 8);
    }
    name.erase(0, std::min(name.find_first_not_of(": "), name.size()));
    return text.FromAnsi(name);  // the system's ANSI code page
}

// The new header at `newHeader` is an NE header: its module description.
std::optional<std::string> NeSaverName(platform::FileReader& file, platform::TextRules& text,
                                       std::span<const std::uint8_t> head, std::uint32_t newHeader,
                                       std::span<const std::uint8_t> neHeader) {
    const std::uint32_t table = pe::Le32(neHeader.data(), kNonResidentTableField);
    // A name table inside or before the headers is damage: nothing is read there.
    if (table < std::uint64_t{newHeader} + kNeHeaderSize) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kDescriptionRead> entry{};
    if (!ReadStretch(file, head, table, entry)) {
        return std::nullopt;
    }
    return NameFromModuleDescription(entry, text);
}

}  // namespace

std::optional<std::string> GetWinScreenSaverName(platform::Files& files, platform::TextRules& text,
                                                 std::string_view path, bool isNT) {
    // Read-only, deny none: a saver another program holds open for writing is still read.
    auto file = files.OpenForReading(path, platform::Sharing::ReadWriteDelete);
    if (!file) {
        return std::nullopt;
    }
    Bytes head(kFirstRead);
    const auto got = file->ReadAt(0, head.data(), head.size());
    if (!got || *got < kDosHeaderSize || head[0] != 'M' || head[1] != 'Z') {
        return std::nullopt;
    }
    head.resize(*got);
    // The new header follows the DOS header: an offset inside it is damage, and one past
    // the end of the file is found so by the read below (no buffer is sized by it).
    const std::uint32_t newHeader = pe::Le32(head.data(), kNewHeaderOffsetField);
    if (newHeader < kDosHeaderSize) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kNeHeaderSize> header{};
    if (!ReadStretch(*file, head, newHeader, header)) {
        return std::nullopt;
    }
    if (header[0] == 'N' && header[1] == 'E') {
        return NeSaverName(*file, text, head, newHeader, header);
    }
    if (header[0] != 'P' || header[1] != 'E') {
        return std::nullopt;
    }
    // The 95 family names PE savers by their files: string resources are read on NT only.
    std::string name;
    if (isNT) {
        name = LoadDescriptionString(
            std::make_unique<HeadFirstSource>(std::move(head), std::move(file)));
    }
    return name.empty() ? SaverFileTitle(path) : name;
}

std::string LoadDescriptionString(std::unique_ptr<pe::ByteSource> library) {
    pe::PeError error = pe::PeError::NotMz;
    const auto resources = pe::PeResourceLibrary::Open(std::move(library), error);
    if (!resources) {
        return {};
    }
    const auto text = resources->String(1);
    if (!text) {
        return {};
    }
    // The buffer's text: up to a NUL inside the string, and cut to the buffer.
    const std::string_view whole(text->data(), std::min(text->find('\0'), text->size()));
    return std::string(CutToUtf16Units(whole, kDescriptionStringMaxChars));
}

std::string LoadDescriptionString(platform::Files& files, std::string_view path) {
    auto file = files.OpenForReading(path, platform::Sharing::ReadWriteDelete);
    if (!file) {
        return {};
    }
    return LoadDescriptionString(std::make_unique<pe::FileSource>(std::move(file)));
}

std::string SaverFileTitle(std::string_view path) {
    const std::string_view name = path.substr(path.find_last_of("\\/:") + 1);
    // Four characters, not bytes: a name outside ASCII is never cut inside a character.
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < name.size(); at += DecodeUtf8At(name, at).length) {
        starts.push_back(at);
    }
    return starts.size() <= 4 ? std::string()
                              : std::string(name.substr(0, starts[starts.size() - 4]));
}

std::string SaverListName(platform::Files& files, platform::TextRules& text, std::string_view path,
                          bool isNT) {
    return GetWinScreenSaverName(files, text, path, isNT).value_or(SaverFileTitle(path));
}

}  // namespace qv::settings
