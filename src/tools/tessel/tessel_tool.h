// `tessel`: the command-line tool for people who make Tessels.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "making/tessel_maker.h"

namespace qv::tools {

enum ExitCode { kExitOk = 0, kExitProblem = 1, kExitUsage = 2 };

// What the system the tool runs on adds: on Windows the system's picture reader and the
// largest monitor's size; elsewhere (and when empty) the standard reader and no monitor.
struct ToolHost {
    std::function<std::unique_ptr<making::PictureReader>()> reader;
    std::function<std::optional<making::FitBox>()> largestMonitor;
};

// Runs one command (arguments without the program name); UTF-8 paths.
int RunTesselTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunTesselTool(const std::vector<std::string>& args, const ToolHost& host, std::ostream& out,
                  std::ostream& err);

}  // namespace qv::tools
