// UTF-16LE as resource files store it, to the UTF-8 used everywhere else (common/utf.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/utf.h"

namespace qv::pe {

std::string Utf8FromUtf16Le(std::span<const std::uint8_t> bytes);
// The same into an existing string, which keeps its buffer.
void AssignUtf8FromUtf16Le(std::span<const std::uint8_t> bytes, std::string& out);

}  // namespace qv::pe
