// Fuzzes the PE resource reader and the Tessel model over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pe/pe_library.h"
#include "saver/tessel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    qv::pe::PeError error = qv::pe::PeError::NotMz;
    auto library =
        qv::pe::PeResourceLibrary::Open(std::make_unique<qv::pe::BufferSource>(bytes), error);
    if (!library) {
        return 0;
    }
    const auto tessel = qv::saver::ReadTessel(*library);
    for (const auto& name : tessel.pictures) {
        (void)library->RcData(name);
    }
    (void)library->String(40);
    return 0;
}
