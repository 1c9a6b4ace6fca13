// Fuzzes the readers of stored numbers: the strict decimal parser and
// the ini view over it, and the settings dialog's start and OK over any stored LogoIMP,
// ViewTime, MouseDelay, RotationEnabled and ScreenSaveTimeOut and any waiting-time text.
// Besides the sanitizers' checks (a signed overflow aborts under UBSan), each reader must
// keep its value within its range. The input is split with FuzzedDataProvider's strings.
#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/config_store.h"
#include "config/names.h"
#include "config/reg_ini_file.h"
#include "platform/memory/memory_platform.h"
#include "settings/options.h"

namespace {

using qv::platform::RegRoot;
namespace value = qv::config::value;

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// What the strict parser must give: optional sign (a plus only before a digit), digits
// only, within 32 bits.
std::optional<int> Reference(const std::string& text) {
    if (text.empty() || text.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::size_t at = 0;
    if (text[0] == '+' || text[0] == '-') {
        at = 1;
    }
    if (at == text.size()) {
        return std::nullopt;
    }
    for (std::size_t k = at; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9') {
            return std::nullopt;
        }
    }
    errno = 0;
    const long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string logo = provider.ConsumeRandomLengthString(64);
    const std::string viewTime = provider.ConsumeRandomLengthString(64);
    const std::string mouseDelay = provider.ConsumeRandomLengthString(64);
    const std::string rotation = provider.ConsumeRandomLengthString(64);
    const std::string timeout = provider.ConsumeRandomLengthString(64);
    const std::string waitText = provider.ConsumeRandomLengthString(64);

    for (const std::string* text :
         {&logo, &viewTime, &mouseDelay, &rotation, &timeout, &waitText}) {
        Require(qv::config::ParseDecimal(*text) == Reference(*text));
    }

    qv::platform::memory::MemoryPlatform mem;
    const auto user = [&](std::string_view name, const std::string& text) {
        mem.registry.SetString(RegRoot::CurrentUser, qv::config::kKeyPath, name, text);
    };
    user(value::LogoIMP, logo);
    user(value::ViewTime, viewTime);
    user(value::MouseDelay, mouseDelay);
    user(value::RotationEnabled, rotation);
    mem.registry.SetString(RegRoot::CurrentUser, "Control Panel\\Desktop", "ScreenSaveTimeOut",
                           timeout);

    const qv::config::RegIniFile ini = qv::config::OpenUserIni(mem.registry);
    const std::string cut = logo.substr(0, logo.find('\0'));  // the stored text ends at a NUL
    Require(ini.ReadInteger(qv::config::kIniSection, value::LogoIMP, 7) ==
            Reference(cut).value_or(7));
    (void)ini.ReadBool(qv::config::kIniSection, value::RotationEnabled, true);

    const qv::settings::OptionsStart start = qv::settings::FormCreate(mem.platform());
    Require(start.waitMinutes >= qv::settings::kWaitMinutesLeast &&
            start.waitMinutes <= qv::settings::kWaitMinutesMost);
    Require(!start.viewTimeIndex ||
            (*start.viewTimeIndex >= 0 && *start.viewTimeIndex < qv::settings::kViewTimeItems));
    Require(!start.mouseDelayIndex || (*start.mouseDelayIndex >= 0 &&
                                       *start.mouseDelayIndex < qv::settings::kMouseDelayItems));
    // One more opening counted, held at the largest number.
    const int before = Reference(cut).value_or(0);
    const std::string counted =
        qv::config::ConfigStore(mem.registry, nullptr).ReadUserValue(value::LogoIMP);
    Require(counted == std::to_string(before == INT_MAX ? before : before + 1));

    const auto minutes = qv::settings::ParseWaitMinutes(waitText);
    Require(!minutes || (*minutes >= qv::settings::kWaitMinutesLeast &&
                         *minutes <= qv::settings::kWaitMinutesMost));
    qv::settings::OptionsChoice choice;
    choice.tessels = start.tessels;
    choice.savers = start.savers;
    choice.preshows = start.preshows;
    choice.viewTimeIndex = start.viewTimeIndex;
    choice.mouseDelayIndex = start.mouseDelayIndex;
    choice.waitText = waitText;
    const auto outcome = qv::settings::ApplySettings(mem.platform(), start, choice);
    Require((outcome == qv::settings::OkOutcome::Applied) == minutes.has_value());
    if (minutes) {
        Require(mem.system.screenSaveTimeout == *minutes * 60);
    }
    return 0;
}
