// A stand-in for the Windows 95 family's password.cpl, installed in the System folder by
// the tests that need it. VerifyScreenSavePwd takes its answer from the first line of the
// file named by QV_PASSWORD_ANSWERS ("right" or anything else), removes that line, and
// appends "password|<answer>" to QV_RECORD_FILE. No file or no line left: wrong.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "record.h"

namespace {

std::string TakeFirstLine(const std::wstring& file) {
    std::string first;
    std::string rest;
    {
        std::ifstream in(file.c_str());
        if (!in) {
            return first;
        }
        std::getline(in, first);
        std::stringstream remaining;
        remaining << in.rdbuf();
        rest = remaining.str();
    }
    std::ofstream(file.c_str(), std::ios::trunc) << rest;
    while (!first.empty() && (first.back() == '\r' || first.back() == ' ')) {
        first.pop_back();
    }
    return first;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND) {
    const bool right = TakeFirstLine(qv::doubles::Env(L"QV_PASSWORD_ANSWERS")) == "right";
    const std::wstring record = qv::doubles::Env(L"QV_RECORD_FILE");
    if (!record.empty()) {
        qv::doubles::Append(record, right ? L"password|right" : L"password|wrong");
    }
    return right ? TRUE : FALSE;
}
