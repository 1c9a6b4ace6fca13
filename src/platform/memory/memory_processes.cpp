#include "platform/memory/memory_platform.h"

namespace qv::platform::memory {

namespace {

class MemoryRunningProcess : public RunningProcess {
  public:
    MemoryRunningProcess(MemoryProcesses& owner, std::size_t index)
        : owner_(owner), index_(index) {}
    void WaitForExit() override {
        owner_.started[index_].waited = true;
        if (owner_.whileRunning) {
            owner_.whileRunning(owner_.started[index_].launch);
        }
    }
    bool HasEnded() override { return owner_.started[index_].ended; }
    std::uint32_t Id() const override { return owner_.started[index_].id; }

  private:
    MemoryProcesses& owner_;
    std::size_t index_;
};

}  // namespace

std::unique_ptr<RunningProcess> MemoryProcesses::Start(const ProcessLaunch& launch) {
    if (refuse && refuse(launch)) {
        return nullptr;
    }
    started.push_back({launch, false, static_cast<std::uint32_t>(1000 + started.size()), false});
    return std::make_unique<MemoryRunningProcess>(*this, started.size() - 1);
}

bool MemoryProcesses::CreateInstanceMutex(std::string_view name) {
    return !existingMutexes.insert(std::string(name)).second;
}

}  // namespace qv::platform::memory
