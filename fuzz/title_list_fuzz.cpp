// Fuzzes the stored form of the Saver and Tessel lists: any stored text reads without harm,
// and every list of titles reads back exactly as it was written.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/title_list.h"

namespace {

using qv::config::DecodeTitleList;
using qv::config::EncodeTitleList;
using qv::config::TitleList;

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input as a stored text, hand-edited or damaged: what was read is written back
    // and reads the same again.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TitleList read = DecodeTitleList(text);
    Require(DecodeTitleList(EncodeTitleList(read)) == read);

    // The input as a list of titles. No title holds a NUL: file names cannot, and a stored
    // text ends at its first one.
    FuzzedDataProvider provider(data, size);
    TitleList titles;
    while (provider.remaining_bytes() > 0) {
        std::string title = provider.ConsumeRandomLengthString();
        std::erase(title, '\0');
        titles.push_back(std::move(title));
    }
    Require(DecodeTitleList(EncodeTitleList(titles)) == titles);
    return 0;
}
