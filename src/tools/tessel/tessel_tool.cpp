#include "tools/tessel/tessel_tool.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>

#include "common/text.h"
#include "config/reg_ini_file.h"
#include "imaging/exif_orientation.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_header.h"
#include "making/standard_picture_reader.h"
#include "making/tessel_maker.h"
#include "pe/pe_library.h"
#include "pe/pe_writer.h"
#include "saver/tessel.h"

namespace qv::tools {

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  tessel pack OUT.tsl FOLDER|PICTURE... [--fit WxH|largest] [--quality N]\n"
    "              [--link N=URL]...\n"
    "      Makes a Tessel of the pictures (JPEG and PNG; on Windows also what the system\n"
    "      decodes: BMP, GIF, TIFF, ...), turned upright by their orientation tags. A\n"
    "      folder gives its picture files. A picture's name is its file name without\n"
    "      extension, upper case, with _JPEG added unless it holds JPEG already; the show\n"
    "      goes in the order of the names. --fit fits each picture inside W x H pixels,\n"
    "      never enlarging it (largest: the largest monitor, on Windows). --quality\n"
    "      encodes every picture at N (1-100); without it, a JPEG that needs no turning\n"
    "      or fitting goes in as it is and the others are encoded at 90. Pictures that\n"
    "      cannot be read are left out, each named with its reason. Links 1-4 are the hot\n"
    "      spots along the top edge, 5-8 along the bottom edge, left to right.\n"
    "  tessel list [--json] FILE.tsl...  the pictures with their sizes, and the links\n"
    "  tessel extract FILE.tsl DIR        writes each picture to DIR as NAME.jpg\n"
    "  tessel check FILE.tsl...           decodes every picture\n"
    "  tessel --help | --version\n"
    "exit codes: 0 done; 1 a file that cannot be read or written, a damaged file, or a\n"
    "picture that cannot be read or shown; 2 wrong usage\n";

// From this many pictures on, pack reports its progress every kProgressEvery pictures.
constexpr std::size_t kProgressFrom = 20;
constexpr std::size_t kProgressEvery = 10;
// A Tessel is loaded whole into a 32-bit program, and its sizes are 32-bit fields.
constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{1} << 30;
// Extracted file names stay well inside every file system's limit.
constexpr std::size_t kMaxFileStemChars = 100;

// "cannot open" with the system's reason, or that a folder was given.
void ReportOpenFailure(const std::string& path, std::error_code error, std::ostream& err) {
    if (error == std::errc::is_a_directory) {
        err << "tessel: " << path << ": is a folder, not a file\n";
    } else {
        err << "tessel: " << path << ": cannot open: " << error.message() << "\n";
    }
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

// The picture files of a folder in show order; other files are counted, folders ignored.
bool AddFolderPictures(const std::string& folder, const making::PictureReader& reader,
                       std::vector<std::string>& pictures, std::ostream& err) {
    std::error_code error;
    std::size_t files = 0;
    for (std::filesystem::directory_iterator it(pe::PathFromUtf8(folder), error), end;
         !error && it != end; it.increment(error)) {
        std::error_code ignored;
        files += it->is_regular_file(ignored) ? 1 : 0;
    }
    if (error) {
        err << "tessel: " << folder << ": cannot read the folder: " << error.message() << "\n";
        return false;
    }
    const auto found = making::PicturesInFolder(folder, reader);
    if (found.empty()) {
        err << "tessel: " << folder << ": no pictures in the folder\n";
        return false;
    }
    pictures.insert(pictures.end(), found.begin(), found.end());
    if (const std::size_t others = files - found.size(); others > 0) {
        err << "tessel: " << folder << ": left out " << others
            << (others == 1 ? " file that is not a picture\n" : " files that are not pictures\n");
    }
    return true;
}

struct PackRequest {
    std::vector<std::string> inputs;  // files and folders, as given
    making::MakeRequest make;
};

// "1920x1080" (or "1920 x 1080"), each side from 1 to 65535.
std::optional<making::FitBox> ParseFitBox(std::string_view text) {
    const auto x = text.find_first_of("xX");
    if (x == std::string_view::npos) {
        return std::nullopt;
    }
    auto trimmed = [](std::string_view part) {
        const auto first = part.find_first_not_of(' ');
        const auto last = part.find_last_not_of(' ');
        return first == std::string_view::npos ? part.substr(0, 0)
                                               : part.substr(first, last - first + 1);
    };
    const auto width = config::ParseDecimal(trimmed(text.substr(0, x)));
    const auto height = config::ParseDecimal(trimmed(text.substr(x + 1)));
    if (!width || !height || *width < 1 || *height < 1 || *width > 65535 || *height > 65535) {
        return std::nullopt;
    }
    return making::FitBox{*width, *height};
}

// Reads one option of pack that takes a value; false, said why, on a mistake.
bool ParsePackOption(const std::string& option, const std::string& value, const ToolHost& host,
                     PackRequest& request, std::ostream& err) {
    if (option == "--fit") {
        if (value == "largest") {
            request.make.fit = host.largestMonitor ? host.largestMonitor() : std::nullopt;
            if (!request.make.fit) {
                err << "tessel: --fit largest needs Windows and a monitor; give WxH instead\n";
            }
        } else {
            request.make.fit = ParseFitBox(value);
            if (!request.make.fit) {
                err << "tessel: --fit takes WxH (such as 1920x1080) or largest, not " << value
                    << "\n";
            }
        }
        return request.make.fit.has_value();
    }
    if (option == "--quality") {
        const auto quality = config::ParseDecimal(value);
        if (!quality || *quality < 1 || *quality > 100) {
            err << "tessel: --quality takes a number from 1 to 100, not " << value << "\n";
            return false;
        }
        request.make.quality = *quality;
        request.make.keepReadyJpegs = false;
        return true;
    }
    const auto eq = value.find('=');
    const auto number = eq == std::string::npos
                            ? std::nullopt
                            : config::ParseDecimal(std::string_view(value).substr(0, eq));
    if (!number || *number < 1 || *number > static_cast<int>(saver::kLinkCount)) {
        err << "tessel: --link takes N=URL with N from 1 to 8\n";
        return false;
    }
    const std::string url = value.substr(eq + 1);
    if (saver::CutToChars(url, saver::kLinkMaxChars) != url) {
        err << "tessel: link " << *number << " is longer than 512 characters\n";
        return false;
    }
    request.make.links[static_cast<std::size_t>(*number - 1)] = url;
    return true;
}

// Reads the command line of pack; on a mistake says what is wrong and returns nullopt.
std::optional<PackRequest> ParsePack(const std::vector<std::string>& args, const ToolHost& host,
                                     std::ostream& err) {
    if (args.size() < 3) {
        err << kUsage;
        return std::nullopt;
    }
    PackRequest request;
    request.make.target = args[1];
    request.make.keepReadyJpegs = true;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg != "--link" && arg != "--fit" && arg != "--quality") {
            request.inputs.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            err << "tessel: " << arg << " needs a value\n";
            return std::nullopt;
        }
        if (!ParsePackOption(arg, args[i + 1], host, request, err)) {
            return std::nullopt;
        }
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
                                                     const making::PictureReader& reader,
                                                     std::ostream& err) {
    std::vector<std::string> pictures;
    for (const auto& input : inputs) {
        std::error_code ignored;
        if (!std::filesystem::is_directory(pe::PathFromUtf8(input), ignored)) {
            pictures.push_back(input);
        } else if (!AddFolderPictures(input, reader, pictures, err)) {
            return std::nullopt;
        }
    }
    return pictures;
}

// Two pictures that would share a name are a mistake on the command line.
bool NamesAreUnique(const std::vector<std::string>& pictures, std::ostream& err) {
    std::set<std::string> names;
    for (const auto& path : pictures) {
        const std::string name = making::PictureName(path);
        if (!names.insert(name).second) {
            err << "tessel: two pictures would both be named " << name << "\n";
            return false;
        }
    }
    return true;
}

int Pack(const std::vector<std::string>& args, const ToolHost& host, std::ostream& out,
         std::ostream& err) {
    auto request = ParsePack(args, host, err);
    if (!request) {
        return kExitUsage;
    }
    const auto reader = host.reader ? host.reader() : making::StandardPictureReader();
    auto pictures = PictureFiles(request->inputs, *reader, err);
    if (!pictures) {
        return kExitProblem;
    }
    if (!NamesAreUnique(*pictures, err)) {
        return kExitUsage;
    }
    request->make.pictures = std::move(*pictures);
    const std::size_t total = request->make.pictures.size();
    const bool progress = total >= kProgressFrom;
    const auto result = making::MakeTessel(
        request->make, *reader, [&err, progress](std::size_t done, std::size_t all) {
            if (progress && (done % kProgressEvery == 0 || done == all)) {
                err << "packing " << done << "/" << all << "\r" << std::flush;
            }
            return true;
        });
    if (progress) {
        err << "\n";
    }
    for (const auto& skipped : result.skipped) {
        err << "tessel: " << skipped.picture << ": " << skipped.reason << " (left out)\n";
    }
    switch (result.status) {
        case making::MakeStatus::Made:
            break;
        case making::MakeStatus::BadLink:
            err << "tessel: " << result.reason << "\n";
            return kExitUsage;
        case making::MakeStatus::NoReadablePicture:
            err << "tessel: " << request->make.target
                << ": no picture could be read, nothing written\n";
            return kExitProblem;
        default:
            err << "tessel: " << result.reason << "\n";
            return kExitProblem;
    }
    const auto links = std::count_if(request->make.links.begin(), request->make.links.end(),
                                     [](const std::string& link) { return !link.empty(); });
    out << request->make.target << ": " << result.packed << " pictures, " << links << " links\n";
    return result.skipped.empty() ? kExitOk : kExitProblem;
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

// A JSON string: quotes, backslashes and control characters escaped, the rest as it is
// (the text is UTF-8 already).
std::string JsonString(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            quoted += "\\u00";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 15];
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

// One JSON object on one line: the file, its pictures (name, width, height, bytes,
// orientation; width and height null where the header cannot be read, orientation null
// where there is no tag; "damaged" for data the file does not hold), its eight links
// (null for none), or the file and its error.
int ListJson(const std::string& path, std::ostream& out) {
    std::ostringstream why;
    auto opened = OpenTessel(path, why);
    if (!opened) {
        std::string error = why.str();
        const std::string prefix = "tessel: " + path + ": ";
        error = error.rfind(prefix, 0) == 0 ? error.substr(prefix.size()) : error;
        while (!error.empty() && error.back() == '\n') {
            error.pop_back();
        }
        out << "{\"file\":" << JsonString(path) << ",\"error\":" << JsonString(error) << "}\n";
        return kExitProblem;
    }
    int status = kExitOk;
    out << "{\"file\":" << JsonString(path) << ",\"pictures\":[";
    for (std::size_t i = 0; i < opened->pictures.size(); ++i) {
        const auto& entry = opened->pictures[i];
        const auto bytes = opened->library->Data(entry);
        const auto header = bytes ? imaging::ReadJpegHeader(*bytes) : std::nullopt;
        const auto orientation = bytes ? imaging::ReadExifOrientation(*bytes) : std::nullopt;
        out << (i > 0 ? "," : "") << "{\"name\":" << JsonString(entry.name)
            << ",\"width\":" << (header ? std::to_string(header->width) : "null")
            << ",\"height\":" << (header ? std::to_string(header->height) : "null")
            << ",\"bytes\":" << entry.size << ",\"orientation\":"
            << (orientation ? std::to_string(static_cast<int>(*orientation)) : "null");
        if (!bytes) {
            out << ",\"damaged\":true";
            status = kExitProblem;
        }
        out << "}";
    }
    out << "],\"links\":[";
    for (std::size_t k = 0; k < saver::kLinkCount; ++k) {
        const auto& link = opened->tessel.links[k];
        out << (k > 0 ? "," : "") << (link.empty() ? "null" : JsonString(link));
    }
    out << "]}\n";
    return status;
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

// list and check take several files: each is said for itself, under its name when there
// are more than one, and the exit code is the worst of them.
int ForEachFile(const std::vector<std::string>& files, std::ostream& out,
                const std::function<int(const std::string&)>& run) {
    int status = kExitOk;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files.size() > 1) {
            out << (i > 0 ? "\n" : "") << files[i] << ":\n";
        }
        status = std::max(status, run(files[i]));
    }
    return status;
}

int Dispatch(const std::vector<std::string>& args, const ToolHost& host, std::ostream& out,
             std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? kExitUsage : kExitOk;
    }
    const std::string& command = args[0];
    if (command == "--version" && args.size() == 1) {
        out << "tessel " << QV_VERSION << "\n";
        return kExitOk;
    }
    if (command == "pack") {
        return Pack(args, host, out, err);
    }
    const bool json = args.size() > 1 && args[1] == "--json" && command == "list";
    const std::vector<std::string> files(args.begin() + (json ? 2 : 1), args.end());
    if (command == "list" && !files.empty()) {
        if (json) {
            int status = kExitOk;
            for (const auto& file : files) {
                status = std::max(status, ListJson(file, out));
            }
            return status;
        }
        return ForEachFile(files, out,
                           [&](const std::string& file) { return List(file, out, err); });
    }
    if (command == "extract" && args.size() == 3) {
        return Extract(args[1], args[2], out, err);
    }
    if (command == "check" && !files.empty()) {
        return ForEachFile(files, out,
                           [&](const std::string& file) { return Check(file, out, err); });
    }
    err << "tessel: unknown command or wrong arguments: " << command << "\n" << kUsage;
    return kExitUsage;
}

}  // namespace

int RunTesselTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunTesselTool(args, ToolHost{}, out, err);
}

int RunTesselTool(const std::vector<std::string>& args, const ToolHost& host, std::ostream& out,
                  std::ostream& err) {
    // Whatever goes wrong ends in a message and an exit code, never in an abort.
    try {
        return Dispatch(args, host, out, err);
    } catch (const std::bad_alloc&) {
        err << "tessel: not enough memory\n";
    } catch (const std::exception& e) {
        err << "tessel: " << e.what() << "\n";
    }
    return kExitProblem;
}

}  // namespace qv::tools
