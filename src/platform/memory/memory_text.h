// The in-memory platform's text rules: Unicode-aware stand-ins for the system's, documented
// so that tests can state what they expect.
//
// SameName: ordinal over UTF-16 code units after the simple uppercase of each unit, as the
// system's uppercasing table gives it for ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic
// and the fullwidth Latin letters ("é" and "É" are the same, "ß" and "SS" are not, the
// dotless "ı" uppercases to "I", the dotted "İ" stays itself). Other units compare as they are.
//
// Collate: letters compare by their base letter first (accents and case set aside: "é" sorts
// with "e", "ß" as "ss", Greek tonos ignored), then by the accents, and text equal but for
// case is equal. Digits come before letters, Latin before Greek before Cyrillic before the
// CJK ideographs, each script in code-point order of its base letters.
//
// FromAnsi: Windows-1252.
#pragma once

#include <string>
#include <string_view>

#include "platform/ports.h"

namespace qv::platform::memory {

class MemoryTextRules : public TextRules {
  public:
    int Collate(std::string_view a, std::string_view b) override;
    bool SameName(std::string_view a, std::string_view b) override;
    std::string FromAnsi(std::string_view bytes) override;
};

// The simple uppercase of one UTF-16 code unit, by the rule above.
[[nodiscard]] char16_t SimpleUpper(char16_t unit);

}  // namespace qv::platform::memory
