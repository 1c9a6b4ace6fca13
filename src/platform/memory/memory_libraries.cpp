#include "platform/memory/memory_platform.h"

namespace qv::platform::memory {

LibraryResult MemoryLibraries::PwdChangePassword(std::string_view dllPath,
                                                 std::string_view provider, WindowId window) {
    if (presentLibraries.count(std::string(dllPath)) == 0) {
        return {LibraryCall::NoLibrary, 0};
    }
    if (presentFunctions.count("PwdChangePasswordA") == 0) {
        return {LibraryCall::NoFunction, 0};
    }
    calls.push_back({"PwdChangePasswordA", std::string(dllPath), std::string(provider), window});
    return {LibraryCall::Done, 0};
}

LibraryResult MemoryLibraries::VerifyScreenSavePwd(std::string_view dllPath, WindowId window) {
    if (presentLibraries.count(std::string(dllPath)) == 0) {
        return {LibraryCall::NoLibrary, 0};
    }
    if (presentFunctions.count("VerifyScreenSavePwd") == 0) {
        return {LibraryCall::NoFunction, 0};
    }
    calls.push_back({"VerifyScreenSavePwd", std::string(dllPath), {}, window});
    std::uint32_t result = 1;
    if (!verifyResults.empty()) {
        result = verifyResults.front();
        verifyResults.pop_front();
    }
    return {LibraryCall::Done, result};
}

}  // namespace qv::platform::memory
