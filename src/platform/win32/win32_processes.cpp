#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "base/win32/wide.h"

namespace qv::platform::win32 {

namespace {

class Win32RunningProcess : public RunningProcess {
  public:
    explicit Win32RunningProcess(const PROCESS_INFORMATION& info)
        : process_(info.hProcess), thread_(info.hThread), id_(info.dwProcessId) {}
    void WaitForExit() override { ::WaitForSingleObject(process_.get(), INFINITE); }
    bool HasEnded() override { return ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }
    std::uint32_t Id() const override { return id_; }

  private:
    winbase::UniqueHandleKernel process_;
    winbase::UniqueHandleKernel thread_;
    DWORD id_;
};

}  // namespace

std::unique_ptr<RunningProcess> Win32Processes::Start(const ProcessLaunch& launch) {
    std::wstring commandLine = winbase::Widen(launch.commandLine);  // CreateProcess may write to it
    const std::wstring workingDir =
        launch.workingDirectory ? winbase::Widen(*launch.workingDirectory) : std::wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(ShowWindowCommand(launch.showCommand));
    DWORD flags = launch.priority == Priority::High ? HIGH_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS;
    if (launch.newConsole) {
        flags |= CREATE_NEW_CONSOLE;
    }
    PROCESS_INFORMATION info{};
    // Started suspended so the priority can be set again before the child runs: Wine takes
    // no priority class from the creation flags, only from SetPriorityClass.
    if (!::CreateProcessW(
            nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags | CREATE_SUSPENDED, nullptr,
            launch.workingDirectory ? workingDir.c_str() : nullptr, &startup, &info)) {
        return nullptr;
    }
    auto process = std::make_unique<Win32RunningProcess>(info);
    ::SetPriorityClass(info.hProcess, flags & (HIGH_PRIORITY_CLASS | NORMAL_PRIORITY_CLASS));
    ::ResumeThread(info.hThread);
    return process;
}

bool Win32Processes::CreateInstanceMutex(std::string_view name) {
    winbase::UniqueHandleKernel mutex(::CreateMutexW(nullptr, FALSE, winbase::Widen(name).c_str()));
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (mutex) {
        mutexes_.push_back(std::move(mutex));
    }
    return existed;
}

bool Win32Processes::MutexExists(std::string_view name) {
    const winbase::UniqueHandleKernel mutex(
        ::OpenMutexW(SYNCHRONIZE, FALSE, winbase::Widen(name).c_str()));
    return static_cast<bool>(mutex);
}

}  // namespace qv::platform::win32
