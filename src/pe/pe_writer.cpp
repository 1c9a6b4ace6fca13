#include "pe/pe_writer.h"

#include <algorithm>

#include "common/text.h"
#include "common/utf.h"

namespace qv::pe {

namespace {

constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kImageBase = 0x10000000;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint16_t kLanguageNeutral = 0x0409;  // US English, as compilers default

std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

class Buffer {
  public:
    void U8(std::uint8_t v) { bytes.push_back(v); }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void Zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
    void PadTo(std::size_t size) {
        if (bytes.size() < size) {
            Zeros(size - bytes.size());
        }
    }
    void Put32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    }
    [[nodiscard]] std::uint32_t Size() const { return static_cast<std::uint32_t>(bytes.size()); }
    std::vector<std::uint8_t> bytes;
};

struct Leaf {
    bool named;
    std::u16string name;
    std::uint16_t id;
    const std::vector<std::uint8_t>* data;
};

struct TypeNode {
    std::uint16_t type;
    std::vector<Leaf> leaves;
};

// The .rsrc section: directories first, then the name strings, then the data entries and
// the data, each table where the format expects it.
std::vector<std::uint8_t> BuildResourceSection(const std::vector<TypeNode>& types) {
    Buffer out;
    std::vector<std::size_t> typeEntryFields;
    auto directoryHeader = [&out](std::size_t named, std::size_t ids) {
        out.Zeros(12);
        out.U16(static_cast<std::uint16_t>(named));
        out.U16(static_cast<std::uint16_t>(ids));
    };
    // Root: one id entry per type.
    directoryHeader(0, types.size());
    for (const auto& t : types) {
        out.U32(t.type);
        typeEntryFields.push_back(out.Size());
        out.U32(0);
    }
    struct Pending {
        std::size_t nameField;
        std::size_t langField;
        const Leaf* leaf;
    };
    std::vector<Pending> pending;
    for (std::size_t ti = 0; ti < types.size(); ++ti) {
        out.Put32(typeEntryFields[ti], kHighBit | out.Size());
        const auto& leaves = types[ti].leaves;
        const auto named = static_cast<std::size_t>(
            std::count_if(leaves.begin(), leaves.end(), [](const Leaf& l) { return l.named; }));
        directoryHeader(named, leaves.size() - named);
        std::vector<std::size_t> subdirFields;
        for (const auto& leaf : leaves) {
            pending.push_back({out.Size(), 0, &leaf});
            out.U32(leaf.named ? 0 : leaf.id);
            subdirFields.push_back(out.Size());
            out.U32(0);
        }
        for (std::size_t li = 0; li < leaves.size(); ++li) {
            out.Put32(subdirFields[li], kHighBit | out.Size());
            directoryHeader(0, 1);
            out.U32(kLanguageNeutral);
            pending[pending.size() - leaves.size() + li].langField = out.Size();
            out.U32(0);
        }
    }
    for (auto& p : pending) {
        if (p.leaf->named) {
            out.Put32(p.nameField, kHighBit | out.Size());
            out.U16(static_cast<std::uint16_t>(p.leaf->name.size()));
            for (const char16_t c : p.leaf->name) {
                out.U16(c);
            }
        }
    }
    out.PadTo(AlignUp(out.Size(), 4));
    std::vector<std::size_t> dataRvaFields;
    for (auto& p : pending) {
        out.Put32(p.langField, out.Size());
        dataRvaFields.push_back(out.Size());
        out.U32(0);
        out.U32(static_cast<std::uint32_t>(p.leaf->data->size()));
        out.U32(0);
        out.U32(0);
    }
    for (std::size_t i = 0; i < pending.size(); ++i) {
        out.PadTo(AlignUp(out.Size(), 8));
        out.Put32(dataRvaFields[i], kSectionRva + out.Size());
        out.bytes.insert(out.bytes.end(), pending[i].leaf->data->begin(),
                         pending[i].leaf->data->end());
    }
    return out.bytes;
}

std::vector<std::vector<std::uint8_t>> StringBlocks(
    const std::map<std::uint16_t, std::string>& strings, std::vector<std::uint16_t>& blockIds) {
    std::map<std::uint16_t, std::vector<std::u16string>> blocks;
    for (const auto& [id, text] : strings) {
        auto& block = blocks[static_cast<std::uint16_t>((id >> 4) + 1)];
        block.resize(16);
        block[id & 15u] = Utf16FromUtf8(text);
    }
    std::vector<std::vector<std::uint8_t>> out;
    for (const auto& [blockId, texts] : blocks) {
        Buffer b;
        for (const auto& t : texts) {
            b.U16(static_cast<std::uint16_t>(t.size()));
            for (const char16_t c : t) {
                b.U16(c);
            }
        }
        blockIds.push_back(blockId);
        out.push_back(std::move(b.bytes));
    }
    return out;
}

void WriteHeaders(Buffer& out, std::uint32_t rawSize, std::uint32_t virtualSize) {
    // DOS header: "MZ" and the offset of the PE header; no DOS stub is needed.
    out.U16(0x5A4D);
    out.PadTo(0x3C);
    out.U32(0x40);
    // PE signature and COFF header.
    out.U32(0x00004550);
    out.U16(0x014C);  // i386
    out.U16(1);       // one section
    out.U32(0);       // time stamp
    out.U32(0);
    out.U32(0);
    out.U16(0xE0);    // optional header size
    out.U16(0x2102);  // executable image, 32-bit, DLL
    // Optional header (PE32).
    const std::uint32_t imageSize = kSectionRva + AlignUp(virtualSize, kSectionAlignment);
    out.U16(0x10B);
    out.U8(1);
    out.U8(0);
    out.U32(0);            // size of code
    out.U32(rawSize);      // size of initialised data
    out.U32(0);            // uninitialised data
    out.U32(0);            // entry point: none, there is no code
    out.U32(kSectionRva);  // base of code
    out.U32(kSectionRva);  // base of data
    out.U32(kImageBase);
    out.U32(kSectionAlignment);
    out.U32(kFileAlignment);
    out.U16(4);
    out.U16(0);  // OS version
    out.U16(0);
    out.U16(0);  // image version
    out.U16(4);
    out.U16(0);  // subsystem version
    out.U32(0);
    out.U32(imageSize);
    out.U32(kFileAlignment);  // size of headers
    out.U32(0);               // checksum
    out.U16(2);               // GUI subsystem
    out.U16(0x0100);          // NX compatible
    out.U32(0x100000);
    out.U32(0x1000);
    out.U32(0x100000);
    out.U32(0x1000);
    out.U32(0);   // loader flags
    out.U32(16);  // data directories
    for (int i = 0; i < 16; ++i) {
        out.U32(i == 2 ? kSectionRva : 0);
        out.U32(i == 2 ? virtualSize : 0);
    }
    // Section table.
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (const char c : name) {
        out.U8(static_cast<std::uint8_t>(c));
    }
    out.U32(virtualSize);
    out.U32(kSectionRva);
    out.U32(rawSize);
    out.U32(kFileAlignment);
    out.U32(0);
    out.U32(0);
    out.U16(0);
    out.U16(0);
    out.U32(0x40000040);  // initialised data, readable
    out.PadTo(kFileAlignment);
}

}  // namespace

std::string ResourceNameForm(std::string_view name) {
    return ToUpperAscii(name);
}

std::vector<std::uint8_t> WriteResourceLibrary(const ResourceLibraryLayout& layout) {
    std::vector<TypeNode> types;
    std::vector<std::uint16_t> blockIds;
    const auto blocks = StringBlocks(layout.strings, blockIds);
    if (!blocks.empty()) {
        TypeNode strings{6, {}};
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            strings.leaves.push_back({false, {}, blockIds[i], &blocks[i]});
        }
        types.push_back(std::move(strings));
    }
    if (!layout.rcdata.empty() || !layout.rcdataById.empty()) {
        TypeNode rcdata{10, {}};
        for (const auto& d : layout.rcdata) {
            rcdata.leaves.push_back({true, Utf16FromUtf8(ResourceNameForm(d.name)), 0, &d.bytes});
        }
        // Named entries sorted by their UTF-16 code units, as the loader's search expects.
        std::sort(rcdata.leaves.begin(), rcdata.leaves.end(),
                  [](const Leaf& a, const Leaf& b) { return a.name < b.name; });
        for (const auto& [id, bytes] : layout.rcdataById) {
            rcdata.leaves.push_back({false, {}, id, &bytes});
        }
        types.push_back(std::move(rcdata));
    }
    const auto section = BuildResourceSection(types);
    const auto virtualSize = static_cast<std::uint32_t>(section.size());
    const std::uint32_t rawSize = AlignUp(virtualSize, kFileAlignment);
    Buffer out;
    WriteHeaders(out, rawSize, virtualSize);
    out.bytes.insert(out.bytes.end(), section.begin(), section.end());
    out.PadTo(kFileAlignment + rawSize);
    return out.bytes;
}

}  // namespace qv::pe
