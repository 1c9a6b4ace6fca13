#include "tools/tessel/tessel_tool.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>

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
    "  tessel pack OUT.tsl PICTURE.jpg... [--link N=URL]...\n"
    "      Makes a Tessel of the JPEG pictures, shown in the order of their names.\n"
    "      A picture's name is its file name without extension, upper case, with _JPEG\n"
    "      added unless it holds JPEG already. Links 1-4 are the hot spots along the top\n"
    "      edge, 5-8 along the bottom edge, left to right.\n"
    "  tessel list FILE.tsl        the pictures with their sizes, and the eight links\n"
    "  tessel extract FILE.tsl DIR  writes each picture to DIR as NAME.jpg\n"
    "  tessel check FILE.tsl       decodes every picture\n"
    "  tessel --help\n"
    "exit codes: 0 done, 1 a damaged file or picture, 2 wrong usage\n";

constexpr std::size_t kProgressFrom = 20;

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
    std::ifstream in(pe::PathFromUtf8(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool WriteWholeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string PictureName(const std::string& path) {
    const auto stem = pe::PathFromUtf8(path).stem().u8string();
    std::string name = pe::ResourceNameForm(std::string(stem.begin(), stem.end()));
    if (!saver::IsPictureName(name)) {
        name += "_JPEG";
    }
    return name;
}

struct OpenedTessel {
    std::unique_ptr<pe::PeResourceLibrary> library;
    saver::Tessel tessel;
};

std::optional<OpenedTessel> OpenTessel(const std::string& path, std::ostream& err) {
    pe::PeError error = pe::PeError::NotMz;
    auto library = pe::PeResourceLibrary::OpenFile(path, error);
    if (!library) {
        err << "tessel: " << path << ": " << pe::Describe(error) << "\n";
        return std::nullopt;
    }
    OpenedTessel opened{std::move(library), {}};
    opened.tessel = saver::ReadTessel(*opened.library);
    return opened;
}

int Pack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 3) {
        err << kUsage;
        return kExitUsage;
    }
    pe::ResourceLibraryLayout layout;
    std::set<std::string> names;
    std::vector<std::string> pictures;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] != "--link") {
            pictures.push_back(args[i]);
            continue;
        }
        const auto eq = i + 1 < args.size() ? args[i + 1].find('=') : std::string::npos;
        const auto number = eq == std::string::npos
                                ? std::nullopt
                                : config::ParseDecimal(std::string_view(args[i + 1]).substr(0, eq));
        if (!number || *number < 1 || *number > static_cast<int>(saver::kLinkCount)) {
            err << "tessel: --link takes N=URL with N from 1 to 8\n";
            return kExitUsage;
        }
        const std::string url = args[i + 1].substr(eq + 1);
        if (saver::CutToChars(url, saver::kLinkMaxChars) != url) {
            err << "tessel: link " << *number << " is longer than 512 characters\n";
            return kExitUsage;
        }
        layout.strings[static_cast<std::uint16_t>(*number)] = url;
        ++i;
    }
    if (pictures.empty()) {
        err << "tessel: no pictures given\n" << kUsage;
        return kExitUsage;
    }
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        auto bytes = ReadWholeFile(pictures[i]);
        if (!bytes) {
            err << "tessel: cannot read " << pictures[i] << "\n";
            return kExitProblem;
        }
        if (!imaging::ReadJpegHeader(*bytes)) {
            err << "tessel: " << pictures[i] << " is not a JPEG picture\n";
            return kExitProblem;
        }
        const std::string name = PictureName(pictures[i]);
        if (!names.insert(name).second) {
            err << "tessel: two pictures would both be named " << name << "\n";
            return kExitUsage;
        }
        layout.rcdata.push_back({name, std::move(*bytes)});
        if (pictures.size() >= kProgressFrom && ((i + 1) % 10 == 0 || i + 1 == pictures.size())) {
            err << "packing " << (i + 1) << "/" << pictures.size() << "\r" << std::flush;
        }
    }
    if (pictures.size() >= kProgressFrom) {
        err << "\n";
    }
    if (!WriteWholeFile(pe::PathFromUtf8(args[1]), pe::WriteResourceLibrary(layout))) {
        err << "tessel: cannot write " << args[1] << "\n";
        return kExitProblem;
    }
    out << args[1] << ": " << pictures.size() << " pictures, " << layout.strings.size() << " links\n";
    return kExitOk;
}

int List(const std::string& path, std::ostream& out, std::ostream& err) {
    auto opened = OpenTessel(path, err);
    if (!opened) {
        return kExitProblem;
    }
    std::map<std::string, std::uint32_t> sizes;
    for (const auto& e : opened->library->RcDataEntries()) {
        sizes[e.name] = e.size;
    }
    out << opened->tessel.pictures.size() << " pictures, in the order they are shown:\n";
    for (const auto& name : opened->tessel.pictures) {
        out << "  " << name << "  " << sizes[name] << " bytes\n";
    }
    out << "links:\n";
    for (std::size_t k = 0; k < saver::kLinkCount; ++k) {
        const auto& link = opened->tessel.links[k];
        out << "  " << (k + 1) << (k < 4 ? " (top)    " : " (bottom) ")
            << (link.empty() ? "-" : link) << "\n";
    }
    return kExitOk;
}

int Extract(const std::string& path, const std::string& dir, std::ostream& out, std::ostream& err) {
    auto opened = OpenTessel(path, err);
    if (!opened) {
        return kExitProblem;
    }
    std::error_code ec;
    std::filesystem::create_directories(pe::PathFromUtf8(dir), ec);
    int status = kExitOk;
    for (const auto& name : opened->tessel.pictures) {
        const auto bytes = opened->library->RcData(name);
        const auto target = pe::PathFromUtf8(dir) / pe::PathFromUtf8(name + ".jpg");
        if (!bytes || !WriteWholeFile(target, *bytes)) {
            err << "tessel: " << name << ": cannot extract\n";
            status = kExitProblem;
            continue;
        }
        out << name << ".jpg\n";
    }
    return status;
}

int Check(const std::string& path, std::ostream& out, std::ostream& err) {
    auto opened = OpenTessel(path, err);
    if (!opened) {
        return kExitProblem;
    }
    if (opened->tessel.pictures.empty()) {
        err << "tessel: " << path << ": there are no pictures in the file\n";
        return kExitProblem;
    }
    int status = kExitOk;
    imaging::Frame frame;
    for (const auto& name : opened->tessel.pictures) {
        const auto bytes = opened->library->RcData(name);
        const auto result =
            bytes ? imaging::DecodeJpeg(*bytes, frame) : imaging::DecodeStatus::Failed;
        switch (result) {
            case imaging::DecodeStatus::Ok:
                out << name << ": " << frame.width << " x " << frame.height << "\n";
                break;
            case imaging::DecodeStatus::Truncated:
                out << name << ": " << frame.width << " x " << frame.height
                    << ", cut short (shown as far as it goes)\n";
                status = kExitProblem;
                break;
            case imaging::DecodeStatus::TooLarge:
                out << name << ": too large to show\n";
                status = kExitProblem;
                break;
            case imaging::DecodeStatus::Failed:
                out << name << ": not a decodable JPEG (skipped by the show)\n";
                status = kExitProblem;
                break;
        }
    }
    return status;
}

}  // namespace

int RunTesselTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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

}  // namespace qv::tools
