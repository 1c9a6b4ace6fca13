// The steps of the saver host's start, timed for the benches: with QV_START_TRACE naming a
// file, each step's first time is appended to it as "step milliseconds", counted from the
// process's creation. Without it (as users run the program) a mark costs one test of a flag.
#pragma once

#include <string_view>

namespace qv::saver::win32 {

void MarkStart(std::string_view step) noexcept;

}  // namespace qv::saver::win32
