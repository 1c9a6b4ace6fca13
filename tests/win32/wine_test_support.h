// Helpers for the tests that run under Wine: starting the real programs, finding their
// message boxes, and resetting the configuration between scenarios.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/win32/unique_handle.h"

namespace qv::wintest {

using namespace std::chrono_literals;

// A program built beside this test (same bin folder).
std::wstring SiblingPath(const wchar_t* fileName);

struct Child {
    platform::win32::UniqueHandleKernel process;
    DWORD pid = 0;
};

// Starts `commandLine`; an empty process handle when it could not be started.
Child StartProgram(const std::wstring& commandLine);
std::optional<DWORD> WaitForExit(const Child& child, std::chrono::milliseconds limit);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

// Waits for a message box (dialog class #32770) of the process `pid`.
std::optional<MessageBoxSeen> WaitForMessageBox(DWORD pid, std::chrono::milliseconds limit);
// Presses the box's button with the given id (IDOK, IDCANCEL, ...).
void Answer(const MessageBoxSeen& box, int buttonId);

// Removes HKCU\Software\Quorvanes and the machine key, so each scenario starts clean.
void ResetConfiguration();

std::string Utf8(const std::wstring& text);

}  // namespace qv::wintest
