#include "tools/tessel/tessel_tool.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <set>
#include <system_error>

#include "common/text.h"
#include "config/reg_ini_file.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_header.h"
#include "pe/pe_library.h"
#include "pe/pe_writer.h"
#include "saver/tessel.h"

namespace qv::tools {

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  tessel pack OUT.tsl FOLDER|PICTURE.jpg... [--link N=URL]...\n"
    "      Makes a Tessel of the JPEG pictures (a folder gives its .jpg, .jpeg, .jpe and\n"
    "      .jfif files), shown in the order of their names. A picture's name is its file\n"
    "      name without extension, upper case, with _JPEG added unless it holds JPEG\n"
    "      already. Links 1-4 are the hot spots along the top edge, 5-8 along the bottom\n"
    "      edge, left to right.\n"
    "  tessel list FILE.tsl        the pictures with their sizes, and the eight links\n"
    "  tessel extract FILE.tsl DIR  writes each picture to DIR as NAME.jpg\n"
    "  tessel check FILE.tsl       decodes every picture\n"
    "  tessel --help\n"
    "exit codes: 0 done; 1 a file that cannot be read or written, a damaged file, or a\n"
    "picture the show cannot decode; 2 wrong usage\n";

// From this many pictures on, pack reports its progress every kProgressEvery pictures.
constexpr std::size_t kProgressFrom = 20;
constexpr std::size_t kProgressEvery = 10;
// A Tessel is loaded whole into a 32-bit program, and its sizes are 32-bit fields.
constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{1} << 30;
// Extracted file names stay well inside every file system's limit.
constexpr std::size_t kMaxFileStemChars = 100;

constexpr std::array<std::string_view, 4> kPictureExtensions = {".jpg", ".jpeg", ".jpe", ".jfif"};

// "cannot open" with the system's reason, or that a folder was given.
void ReportOpenFailure(const std::string& path, std::error_code error, std::ostream& err) {
    if (error == std::errc::is_a_directory) {
        err << "tessel: " << path << ": is a folder, not a file\n";
    } else {
        err << "tessel: " << path << ": cannot open: " << error.message() << "\n";
    }
}

std::optional<std::vector<std::uint8_t>> ReadPicture(const std::string& path, std::ostream& err) {
    std::error_code error;
    auto source = pe::FileSource::Open(path, error);
    if (!source) {
        ReportOpenFailure(path, error, err);
        return std::nullopt;
    }
    if (source->Size() > kMaxPictureBytes) {
        err << "tessel: " << path << ": larger than a Tessel can hold (1 GB)\n";
        return std::nullopt;
    }
    auto bytes = source->Read(0, static_cast<std::size_t>(source->Size()));
    if (!bytes) {
        err << "tessel: " << path
            << ": cannot read: " << std::make_error_code(std::errc::io_error).message() << "\n";
    }
    return bytes;
}

std::error_code WriteWholeFile(const std::filesystem::path& path,
                               const std::vector<std::uint8_t>& bytes) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
    }
    if (out) {
        return {};
    }
    // The streams keep no reason of their own; the C library's is the one that failed.
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

std::string PictureName(const std::string& path) {
    const auto stem = pe::PathFromUtf8(path).stem().u8string();
    std::string name = pe::ResourceNameForm(std::string(stem.begin(), stem.end()));
    if (!saver::IsPictureName(name)) {
        name += "_JPEG";
    }
    return name;
}

bool HasPictureExtension(const std::filesystem::path& path) {
    const auto extension = path.extension().u8string();
    const std::string lower = ToLowerAscii(std::string(extension.begin(), extension.end()));
    return std::find(kPictureExtensions.begin(), kPictureExtensions.end(), lower) !=
           kPictureExtensions.end();
}

std::string Utf8(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return {text.begin(), text.end()};
}

// The picture files of a folder in name order; other files are counted, folders ignored.
bool AddFolderPictures(const std::string& folder, std::vector<std::string>& pictures,
                       std::ostream& err) {
    std::error_code error;
    std::vector<std::filesystem::path> found;
    std::size_t others = 0;
    for (std::filesystem::directory_iterator it(pe::PathFromUtf8(folder), error), end;
         !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored)) {
            continue;
        }
        if (HasPictureExtension(it->path())) {
            found.push_back(it->path());
        } else {
            ++others;
        }
    }
    if (error) {
        err << "tessel: " << folder << ": cannot read the folder: " << error.message() << "\n";
        return false;
    }
    std::sort(found.begin(), found.end());
    for (const auto& path : found) {
        pictures.push_back(Utf8(path));
    }
    if (found.empty()) {
        err << "tessel: " << folder << ": no .jpg, .jpeg, .jpe or .jfif files in the folder\n";
        return false;
    }
    if (others > 0) {
        err << "tessel: " << folder << ": left out " << others
            << (others == 1 ? " file that is not a picture\n" : " files that are not pictures\n");
    }
    return true;
}

struct PackRequest {
    std::string output;
    std::vector<std::string> inputs;  // files and folders, as given
    pe::ResourceLibraryLayout layout;
};

// Reads the command line of pack; on a mistake says what is wrong and returns nullopt.
std::optional<PackRequest> ParsePack(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() < 3) {
        err << kUsage;
        return std::nullopt;
    }
    PackRequest request{args[1], {}, {}};
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] != "--link") {
            request.inputs.push_back(args[i]);
            continue;
        }
        const auto eq = i + 1 < args.size() ? args[i + 1].find('=') : std::string::npos;
        const auto number = eq == std::string::npos
                                ? std::nullopt
                                : config::ParseDecimal(std::string_view(args[i + 1]).substr(0, eq));
        if (!number || *number < 1 || *number > static_cast<int>(saver::kLinkCount)) {
            err << "tessel: --link takes N=URL with N from 1 to 8\n";
            return std::nullopt;
        }
        const std::string url = args[i + 1].substr(eq + 1);
        if (saver::CutToChars(url, saver::kLinkMaxChars) != url) {
            err << "tessel: link " << *number << " is longer than 512 characters\n";
            return std::nullopt;
        }
        request.layout.strings[static_cast<std::uint16_t>(*number)] = url;
        ++i;
    }
    if (request.inputs.empty()) {
        err << "tessel: no pictures given\n" << kUsage;
        return std::nullopt;
    }
    return request;
}

// The picture files the inputs stand for: files as they are, folders by their pictures.
std::optional<std::vector<std::string>> PictureFiles(const std::vector<std::string>& inputs,
                                                     std::ostream& err) {
    std::vector<std::string> pictures;
    for (const auto& input : inputs) {
        std::error_code ignored;
        if (!std::filesystem::is_directory(pe::PathFromUtf8(input), ignored)) {
            pictures.push_back(input);
        } else if (!AddFolderPictures(input, pictures, err)) {
            return std::nullopt;
        }
    }
    return pictures;
}

int Pack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto request = ParsePack(args, err);
    if (!request) {
        return kExitUsage;
    }
    const auto pictures = PictureFiles(request->inputs, err);
    if (!pictures) {
        return kExitProblem;
    }
    std::set<std::string> names;
    std::uint64_t total = 0;
    const bool progress = pictures->size() >= kProgressFrom;
    for (std::size_t i = 0; i < pictures->size(); ++i) {
        const std::string& path = (*pictures)[i];
        auto bytes = ReadPicture(path, err);
        if (!bytes) {
            return kExitProblem;
        }
        const auto header = imaging::CheckJpegHeader(*bytes);
        if (header.verdict != imaging::JpegVerdict::Supported) {
            err << "tessel: " << path << ": " << imaging::Describe(header) << "\n";
            return kExitProblem;
        }
        const std::string name = PictureName(path);
        if (!names.insert(name).second) {
            err << "tessel: two pictures would both be named " << name << "\n";
            return kExitUsage;
        }
        total += bytes->size();
        if (total > kMaxPictureBytes) {
            err << "tessel: the pictures come to more than a Tessel can hold (1 GB)\n";
            return kExitProblem;
        }
        request->layout.rcdata.push_back({name, std::move(*bytes)});
        if (progress && ((i + 1) % kProgressEvery == 0 || i + 1 == pictures->size())) {
            err << "packing " << (i + 1) << "/" << pictures->size() << "\r" << std::flush;
        }
    }
    if (progress) {
        err << "\n";
    }
    if (const auto error = WriteWholeFile(pe::PathFromUtf8(request->output),
                                          pe::WriteResourceLibrary(request->layout))) {
        err << "tessel: cannot write " << request->output << ": " << error.message() << "\n";
        return kExitProblem;
    }
    out << request->output << ": " << pictures->size() << " pictures, "
        << request->layout.strings.size() << " links\n";
    return kExitOk;
}

struct OpenedTessel {
    std::unique_ptr<pe::PeResourceLibrary> library;
    saver::Tessel tessel;
    std::vector<pe::ResourceEntry> pictures;  // the picture entries, in show order
};

std::optional<OpenedTessel> OpenTessel(const std::string& path, std::ostream& err) {
    std::error_code openError;
    auto source = pe::FileSource::Open(path, openError);
    if (!source) {
        ReportOpenFailure(path, openError, err);
        return std::nullopt;
    }
    pe::PeError error = pe::PeError::NotMz;
    auto library = pe::PeResourceLibrary::Open(std::move(source), error);
    if (!library) {
        err << "tessel: " << path << ": " << pe::Describe(error) << "\n";
        return std::nullopt;
    }
    OpenedTessel opened{std::move(library), {}, {}};
    opened.tessel = saver::ReadTessel(*opened.library);
    for (const auto& entry : opened.library->RcDataEntries()) {
        if (entry.named && saver::IsPictureName(entry.name)) {
            opened.pictures.push_back(entry);
        }
    }
    return opened;
}

int List(const std::string& path, std::ostream& out, std::ostream& err) {
    auto opened = OpenTessel(path, err);
    if (!opened) {
        return kExitProblem;
    }
    std::size_t damaged = 0;
    out << opened->pictures.size() << " pictures, in the order they are shown:\n";
    for (const auto& entry : opened->pictures) {
        out << "  " << entry.name << "  ";
        if (opened->library->HoldsData(entry)) {
            out << entry.size << " bytes\n";
        } else {
            out << "damaged: claims " << entry.size << " bytes the file does not hold\n";
            ++damaged;
        }
    }
    out << "links:\n";
    for (std::size_t k = 0; k < saver::kLinkCount; ++k) {
        const auto& link = opened->tessel.links[k];
        out << "  " << (k + 1) << (k < 4 ? " (top)    " : " (bottom) ")
            << (link.empty() ? "-" : link) << "\n";
    }
    if (damaged > 0) {
        err << "tessel: " << path << ": " << damaged << " damaged pictures\n";
        return kExitProblem;
    }
    return kExitOk;
}

// Names Windows keeps for devices, whatever extension follows them.
bool IsDeviceName(std::string_view stem) {
    std::string base(stem.substr(0, stem.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    base = ToLowerAscii(base);
    static constexpr std::array<std::string_view, 7> kDevices = {
        "con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
    if (std::find(kDevices.begin(), kDevices.end(), base) != kDevices.end()) {
        return true;
    }
    if (base.size() < 4 || (base.rfind("com", 0) != 0 && base.rfind("lpt", 0) != 0)) {
        return false;
    }
    const std::string_view number = std::string_view(base).substr(3);
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

// A file name for a picture's name that stays a plain file inside the target folder on
// every system: no separators, drive letters, streams, dot names or device names.
std::string SafeFileName(const std::string& name) {
    std::string stem;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool reserved = byte < 0x20 || byte == 0x7F ||
                              std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
        stem += reserved ? '_' : c;
    }
    stem = saver::CutToChars(stem, kMaxFileStemChars);
    const auto first = stem.find_first_not_of(". ");
    const auto last = stem.find_last_not_of(". ");
    stem = first == std::string::npos ? std::string() : stem.substr(first, last - first + 1);
    if (stem.empty() || IsDeviceName(stem)) {
        stem.insert(0, "_");
    }
    return stem;
}

// `stem`.jpg, or `stem`~2.jpg and so on when an earlier picture took that name; folders
// on Windows ignore case, so the comparison does too.
std::string UniqueFileName(const std::string& stem, std::set<std::string>& taken) {
    std::string file = stem + ".jpg";
    for (int n = 2; !taken.insert(ToLowerAscii(file)).second; ++n) {
        file = stem + "~" + std::to_string(n) + ".jpg";
    }
    return file;
}

int Extract(const std::string& path, const std::string& dir, std::ostream& out, std::ostream& err) {
    auto opened = OpenTessel(path, err);
    if (!opened) {
        return kExitProblem;
    }
    const auto folder = pe::PathFromUtf8(dir);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        err << "tessel: cannot make the folder " << dir << ": "
            << (error ? error : std::make_error_code(std::errc::not_a_directory)).message() << "\n";
        return kExitProblem;
    }
    int status = kExitOk;
    std::set<std::string> taken;
    for (const auto& entry : opened->pictures) {
        const std::string file = UniqueFileName(SafeFileName(entry.name), taken);
        const auto bytes = opened->library->Data(entry);
        if (!bytes) {
            err << "tessel: " << entry.name << ": damaged, its data lies beyond the file\n";
            status = kExitProblem;
            continue;
        }
        if (const auto written = WriteWholeFile(folder / pe::PathFromUtf8(file), *bytes)) {
            err << "tessel: " << file << ": cannot write: " << written.message() << "\n";
            status = kExitProblem;
            continue;
        }
        out << file;
        if (file != entry.name + ".jpg") {
            out << "  (picture " << entry.name << ")";
        }
        out << "\n";
    }
    return status;
}

// Why a picture the show skips cannot be decoded, in words.
std::string WhyUndecodable(const std::vector<std::uint8_t>& bytes) {
    const auto header = imaging::CheckJpegHeader(bytes);
    return header.verdict == imaging::JpegVerdict::Supported ? "a damaged JPEG"
                                                             : imaging::Describe(header);
}

int Check(const std::string& path, std::ostream& out, std::ostream& err) {
    auto opened = OpenTessel(path, err);
    if (!opened) {
        return kExitProblem;
    }
    if (opened->pictures.empty()) {
        err << "tessel: " << path << ": there are no pictures in the file\n";
        return kExitProblem;
    }
    std::size_t good = 0;
    imaging::Frame frame;
    for (const auto& entry : opened->pictures) {
        const auto bytes = opened->library->Data(entry);
        if (!bytes) {
            out << entry.name << ": damaged, its data lies beyond the file (skipped by the show)\n";
            continue;
        }
        switch (imaging::DecodeJpeg(*bytes, frame)) {
            case imaging::DecodeStatus::Ok:
                out << entry.name << ": " << frame.width << " x " << frame.height << "\n";
                ++good;
                break;
            case imaging::DecodeStatus::Truncated:
                out << entry.name << ": " << frame.width << " x " << frame.height
                    << ", cut short (shown as far as it goes)\n";
                break;
            case imaging::DecodeStatus::TooLarge:
                out << entry.name << ": too large to show\n";
                break;
            case imaging::DecodeStatus::Failed:
                out << entry.name << ": " << WhyUndecodable(*bytes) << " (skipped by the show)\n";
                break;
        }
    }
    return good == opened->pictures.size() ? kExitOk : kExitProblem;
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? kExitUsage : kExitOk;
    }
    const std::string& command = args[0];
    if (command == "pack") {
        return Pack(args, out, err);
    }
    if (command == "list" && args.size() == 2) {
        return List(args[1], out, err);
    }
    if (command == "extract" && args.size() == 3) {
        return Extract(args[1], args[2], out, err);
    }
    if (command == "check" && args.size() == 2) {
        return Check(args[1], out, err);
    }
    err << "tessel: unknown command or wrong arguments: " << command << "\n" << kUsage;
    return kExitUsage;
}

}  // namespace

int RunTesselTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // Whatever goes wrong ends in a message and an exit code, never in an abort.
    try {
        return Dispatch(args, out, err);
    } catch (const std::bad_alloc&) {
        err << "tessel: not enough memory\n";
    } catch (const std::exception& e) {
        err << "tessel: " << e.what() << "\n";
    }
    return kExitProblem;
}

}  // namespace qv::tools
