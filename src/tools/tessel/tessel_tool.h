// `tessel`: the command-line tool for people who make Tessels.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qv::tools {

enum ExitCode { kExitOk = 0, kExitProblem = 1, kExitUsage = 2 };

// Runs one command (arguments without the program name); UTF-8 paths.
int RunTesselTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qv::tools
