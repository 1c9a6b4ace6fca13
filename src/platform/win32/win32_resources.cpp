// Resource libraries through the system loader, mapped as data files: a Tessel is
// untrusted input, and a data-file mapping never runs code from it.
#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

namespace {

// Strings longer than this are cut here; the logic cuts them much shorter anyway.
constexpr int kStringBufferChars = 4096;

class Win32ResourceLibrary : public ResourceLibrary {
  public:
    explicit Win32ResourceLibrary(HMODULE module) : module_(module) {}

    std::vector<std::string> RcDataNames() override {
        std::vector<std::string> names;
        ::EnumResourceNamesW(module_.get(), RT_RCDATA, CollectName,
                             reinterpret_cast<LONG_PTR>(&names));
        return names;
    }

    std::optional<std::vector<std::uint8_t>> RcData(std::string_view name) override {
        const HRSRC info = ::FindResourceW(module_.get(), Widen(name).c_str(), RT_RCDATA);
        if (info == nullptr) {
            return std::nullopt;
        }
        const HGLOBAL loaded = ::LoadResource(module_.get(), info);
        const auto* bytes = static_cast<const std::uint8_t*>(::LockResource(loaded));
        if (bytes == nullptr) {
            return std::nullopt;
        }
        return std::vector<std::uint8_t>(bytes, bytes + ::SizeofResource(module_.get(), info));
    }

    std::optional<std::string> String(unsigned id) override {
        std::wstring buffer(kStringBufferChars + 1, L'\0');
        const int got = ::LoadStringW(module_.get(), id, buffer.data(), kStringBufferChars + 1);
        if (got <= 0) {
            return std::nullopt;
        }
        buffer.resize(static_cast<std::size_t>(got));
        return Narrow(buffer);
    }

  private:
    static BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context) noexcept {
        if (!IS_INTRESOURCE(name)) {
            try {
                reinterpret_cast<std::vector<std::string>*>(context)->push_back(Narrow(name));
            } catch (...) {
                return FALSE;
            }
        }
        return TRUE;  // the enumeration always goes on
    }

    UniqueHmodule module_;
};

}  // namespace

std::unique_ptr<ResourceLibrary> Win32Libraries::OpenResourceLibrary(std::string_view path) {
    const HMODULE module = ::LoadLibraryExW(Widen(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        return nullptr;
    }
    return std::make_unique<Win32ResourceLibrary>(module);
}

}  // namespace qv::platform::win32
