// Fuzzes the saver host's command line: the mode switch and the window number, over any
// parameters (the input split with FuzzedDataProvider's strings: a backslash and one more
// character end a parameter).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/reg_ini_file.h"
#include "saver/command_line.h"

namespace {

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    qv::saver::Arguments args;
    while (provider.remaining_bytes() > 0 && args.size() < 3) {
        args.push_back(provider.ConsumeRandomLengthString());
    }
    const std::string cmdSwitch = qv::saver::CmdSwitch(args);
    Require(cmdSwitch.size() <= 2);
    (void)qv::saver::ChecksSingleInstance(qv::saver::ModeOf(cmdSwitch));

    // The number is read from the end of parameters 1 and 2 joined, and from nothing else.
    const auto number = qv::saver::ParamWindowHandle(args);
    const std::string joined = (args.empty() ? "" : args[0]) + (args.size() > 1 ? args[1] : "");
    Require(joined.ends_with(number.text));
    const auto value = qv::config::ParseDecimal(number.text);
    Require(number.window.has_value() == value.has_value());
    if (value) {
        Require(qv::config::ParseDecimal(std::to_string(*value)) == value);
    }
    return 0;
}
