#include "settings/tessel_preview.h"

#include "common/shared_names.h"
#include "config/entries.h"
#include "config/names.h"
#include "config/reg_ini_file.h"
#include "config/title_list.h"
#include "platform/messages.h"

namespace qv::settings {

namespace {

namespace value = config::value;
using config::kIniSection;

PreviewValues Read(const config::RegIniFile& ini) {
    return {ini.ReadString(kIniSection, value::Tessel, ""),
            ini.ReadString(kIniSection, value::CurrentTessel, ""),
            ini.ReadBool(kIniSection, value::RotationEnabled, false) ? "1" : "0"};
}

// Only the values that still hold what the preview wrote: one that changed was stored by
// someone who did not settle first, and is theirs.
void RestoreWhereUnchanged(config::RegIniFile& ini, const PreviewValues& remembered,
                           const PreviewValues& written) {
    const PreviewValues now = Read(ini);
    if (now.tessel == written.tessel) {
        ini.WriteString(kIniSection, value::Tessel, remembered.tessel);
    }
    if (now.current == written.current) {
        ini.WriteString(kIniSection, value::CurrentTessel, remembered.current);
    }
    if (now.rotation == written.rotation) {
        ini.WriteString(kIniSection, value::RotationEnabled, remembered.rotation);
    }
}

}  // namespace

std::optional<std::uint64_t> TesselPreviewGuard::Claim() {
    const std::lock_guard lock(mutex_);
    if (claimed_) {
        return std::nullopt;
    }
    claimed_ = ++lastTicket_;
    return claimed_;
}

bool TesselPreviewGuard::Busy() const {
    const std::lock_guard lock(mutex_);
    return claimed_.has_value();
}

// Under the lock. The claim ends whatever the writes do.
void TesselPreviewGuard::RestoreLocked(platform::Registry& registry) {
    claimed_.reset();
    if (!remembered_ || !written_) {
        return;
    }
    const PreviewValues remembered = *remembered_;
    const PreviewValues written = *written_;
    remembered_.reset();
    written_.reset();
    config::RegIniFile ini = config::OpenUserIni(registry);
    RestoreWhereUnchanged(ini, remembered, written);
}

void TesselPreviewGuard::Settle(platform::Registry& registry) {
    const std::lock_guard lock(mutex_);
    RestoreLocked(registry);
}

TesselPreviewGuard::Begun TesselPreviewGuard::Begin(
    std::uint64_t ticket, platform::Registry& registry, std::string_view tessel,
    const std::function<std::unique_ptr<platform::RunningProcess>()>& start,
    std::unique_ptr<platform::RunningProcess>& show) {
    const std::lock_guard lock(mutex_);
    if (claimed_ != ticket) {
        return Begun::CalledOff;
    }
    try {
        config::RegIniFile ini = config::OpenUserIni(registry);
        remembered_ = Read(ini);
        written_ = PreviewValues{config::QuoteSingleEntry(tessel), std::string(tessel), "0"};
        ini.WriteString(kIniSection, value::CurrentTessel, written_->current);
        ini.WriteString(kIniSection, value::Tessel, written_->tessel);
        ini.WriteString(kIniSection, value::RotationEnabled, written_->rotation);
        show = start();
    } catch (const config::ConfigError&) {
        try {
            RestoreLocked(registry);
        } catch (const config::ConfigError&) {
            // The first failure is the one reported.
        }
        claimed_.reset();
        throw;
    }
    if (!show) {
        RestoreLocked(registry);
        return Begun::StartFailed;
    }
    return Begun::Started;
}

bool TesselPreviewGuard::Pending(std::uint64_t ticket) const {
    const std::lock_guard lock(mutex_);
    return claimed_ == ticket;
}

void TesselPreviewGuard::Finish(std::uint64_t ticket, platform::Registry& registry) {
    const std::lock_guard lock(mutex_);
    if (claimed_ == ticket) {
        RestoreLocked(registry);
    }
}

void TesselPreviewGuard::Release(std::uint64_t ticket) {
    const std::lock_guard lock(mutex_);
    if (claimed_ == ticket && !remembered_) {
        claimed_.reset();
    }
}

TesselPreviewOwner::~TesselPreviewOwner() {
    try {
        guard_->Settle(registry_);
    } catch (const config::ConfigError&) {
        // The program is ending; nobody is left to tell.
    }
}

bool ShowHasRead(platform::Desktop& desktop, platform::RunningProcess& show) {
    if (show.HasEnded()) {
        return true;
    }
    const auto windows = desktop.TopLevelWindows(std::nullopt, shared::kWindowTitleChars);
    for (const platform::TopLevelWindow& window :
         windows.value_or(std::vector<platform::TopLevelWindow>{})) {
        if (window.visible && window.processId == show.Id()) {
            return true;
        }
    }
    return false;
}

void RunTesselPreview(const platform::Platform& platform, TesselPreviewGuard& guard,
                      std::uint64_t ticket, const std::string& tessel,
                      const std::function<std::unique_ptr<platform::RunningProcess>()>& start) {
    std::unique_ptr<platform::RunningProcess> show;
    try {
        switch (guard.Begin(ticket, platform.registry, tessel, start, show)) {
            case TesselPreviewGuard::Begun::CalledOff:
                return;
            case TesselPreviewGuard::Begun::StartFailed:
                platform::ShowHostMessage(platform.dialogs, config::text::SaverStartFailed);
                return;
            case TesselPreviewGuard::Begun::Started:
                break;
        }
        const std::int64_t deadline = platform.clock.NowMs() + kPreviewReadBoundMs;
        while (guard.Pending(ticket) && !ShowHasRead(platform.desktop, *show) &&
               platform.clock.NowMs() < deadline) {
            platform.clock.SleepMs(kPreviewPollMs);
        }
        guard.Finish(ticket, platform.registry);
    } catch (const config::ConfigError& error) {
        guard.Release(ticket);
        platform::ShowHostMessage(platform.dialogs, error.what());
    }
}

}  // namespace qv::settings
