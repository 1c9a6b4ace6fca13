// Fuzzes the text rules the lists sort and match by (the in-memory platform's stand-ins for
// the system's): any two texts compare without fault, the order is antisymmetric and
// reflexive, names that are the same compare equal, and the ANSI decoding gives valid text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/utf.h"
#include "platform/memory/memory_text.h"

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Well formed: the conversion there and back changes nothing.
bool ValidUtf8(std::string_view text) {
    return qv::Utf8FromUtf16(qv::Utf16FromUtf8(text)) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = all.find('\n');
    const std::string_view a = all.substr(0, cut);
    const std::string_view b = cut == std::string_view::npos ? all : all.substr(cut + 1);
    qv::platform::memory::MemoryTextRules text;
    if (text.Collate(a, a) != 0 || !text.SameName(a, a)) {
        std::abort();
    }
    if (Sign(text.Collate(a, b)) != -Sign(text.Collate(b, a))) {
        std::abort();
    }
    if (text.SameName(a, b) != text.SameName(b, a)) {
        std::abort();
    }
    if (text.SameName(a, b) && text.Collate(a, b) != 0) {
        std::abort();  // one name never sorts apart from itself
    }
    if (!ValidUtf8(text.FromAnsi(a))) {
        std::abort();
    }
    return 0;
}
