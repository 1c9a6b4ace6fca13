#include "pe/pe_writer.h"

#include <algorithm>
#include <istream>
#include <ostream>

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
    std::uint32_t size;
    const std::vector<std::uint8_t>* data;  // in memory, or nullptr: at `spoolOffset`
    std::uint64_t spoolOffset;
};

struct TypeNode {
    std::uint16_t type;
    std::vector<Leaf> leaves;
};

// The .rsrc section without the data: directories first, then the name strings, then the
// data entries, each table where the format expects it; the data follows, each entry at
// its offset in `order`.
struct SectionPlan {
    std::vector<std::uint8_t> head;
    std::vector<const Leaf*> order;
    std::vector<std::uint32_t> offsets;
    std::uint64_t size = 0;  // the whole section, data included
};

SectionPlan PlanResourceSection(const std::vector<TypeNode>& types) {
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
        out.U32(p.leaf->size);
        out.U32(0);
        out.U32(0);
    }
    SectionPlan plan;
    std::uint64_t at = out.Size();
    for (std::size_t i = 0; i < pending.size(); ++i) {
        at = (at + 7) / 8 * 8;
        // Past 32 bits the offsets wrap; Finish refuses such a section before writing it.
        out.Put32(dataRvaFields[i], static_cast<std::uint32_t>(kSectionRva + at));
        plan.order.push_back(pending[i].leaf);
        plan.offsets.push_back(static_cast<std::uint32_t>(at));
        at += pending[i].leaf->size;
    }
    plan.size = at;
    plan.head = std::move(out.bytes);
    return plan;
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

namespace {

Leaf MemoryLeaf(bool named, std::u16string name, std::uint16_t id,
                const std::vector<std::uint8_t>& bytes) {
    return {named, std::move(name), id, static_cast<std::uint32_t>(bytes.size()), &bytes, 0};
}

// The string blocks and the RCDATA entries in the order the directory lists them: named
// entries sorted by their UTF-16 code units, as the loader's search expects, then the ids.
std::vector<TypeNode> ResourceTypes(
    const std::vector<std::vector<std::uint8_t>>& blocks,
    const std::vector<std::uint16_t>& blockIds, std::vector<Leaf> named,
    const std::map<std::uint16_t, std::vector<std::uint8_t>>& byId) {
    std::vector<TypeNode> types;
    if (!blocks.empty()) {
        TypeNode strings{6, {}};
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            strings.leaves.push_back(MemoryLeaf(false, {}, blockIds[i], blocks[i]));
        }
        types.push_back(std::move(strings));
    }
    if (!named.empty() || !byId.empty()) {
        TypeNode rcdata{10, std::move(named)};
        std::stable_sort(rcdata.leaves.begin(), rcdata.leaves.end(),
                         [](const Leaf& a, const Leaf& b) { return a.name < b.name; });
        for (const auto& [id, bytes] : byId) {
            rcdata.leaves.push_back(MemoryLeaf(false, {}, id, bytes));
        }
        types.push_back(std::move(rcdata));
    }
    return types;
}

Buffer LibraryHead(const SectionPlan& plan) {
    const auto virtualSize = static_cast<std::uint32_t>(plan.size);
    Buffer out;
    WriteHeaders(out, AlignUp(virtualSize, kFileAlignment), virtualSize);
    out.bytes.insert(out.bytes.end(), plan.head.begin(), plan.head.end());
    return out;
}

// The section and its file alignment must stay inside the headers' 32-bit fields.
bool FitsTheFormat(const SectionPlan& plan) {
    return plan.size <= 0xFFFFFFFFu - kSectionRva - kSectionAlignment;
}

}  // namespace

std::vector<std::uint8_t> WriteResourceLibrary(const ResourceLibraryLayout& layout) {
    std::vector<std::uint16_t> blockIds;
    const auto blocks = StringBlocks(layout.strings, blockIds);
    std::vector<Leaf> named;
    for (const auto& d : layout.rcdata) {
        named.push_back(MemoryLeaf(true, Utf16FromUtf8(ResourceNameForm(d.name)), 0, d.bytes));
    }
    const auto types = ResourceTypes(blocks, blockIds, std::move(named), layout.rcdataById);
    const SectionPlan plan = PlanResourceSection(types);
    Buffer out = LibraryHead(plan);
    const std::size_t section = kFileAlignment;
    for (std::size_t i = 0; i < plan.order.size(); ++i) {
        out.PadTo(section + plan.offsets[i]);
        out.bytes.insert(out.bytes.end(), plan.order[i]->data->begin(), plan.order[i]->data->end());
    }
    out.PadTo(section + AlignUp(static_cast<std::uint32_t>(plan.size), kFileAlignment));
    return out.bytes;
}

ResourceLibraryStream::ResourceLibraryStream(std::iostream& spool) : spool_(spool) {}

bool ResourceLibraryStream::AddRcData(std::string_view name, std::span<const std::uint8_t> bytes) {
    if (bytes.size() > 0xFFFFFFFFu - dataBytes_) {
        return false;
    }
    spool_.write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
    if (!spool_) {
        return false;
    }
    entries_.push_back({ResourceNameForm(name), dataBytes_, bytes.size()});
    dataBytes_ += bytes.size();
    return true;
}

bool ResourceLibraryStream::Finish(std::ostream& out) {
    std::vector<std::uint16_t> blockIds;
    const auto blocks = StringBlocks(strings_, blockIds);
    std::vector<Leaf> named;
    for (const auto& e : entries_) {
        named.push_back({true, Utf16FromUtf8(e.name), 0, static_cast<std::uint32_t>(e.size),
                         nullptr, e.offset});
    }
    const std::map<std::uint16_t, std::vector<std::uint8_t>> noIds;
    const auto types = ResourceTypes(blocks, blockIds, std::move(named), noIds);
    const SectionPlan plan = PlanResourceSection(types);
    if (!FitsTheFormat(plan)) {
        return false;
    }
    const Buffer head = LibraryHead(plan);
    out.write(reinterpret_cast<const char*>(head.bytes.data()),
              static_cast<std::streamsize>(head.bytes.size()));
    std::uint64_t written = plan.head.size();
    std::vector<char> chunk(1 << 16);
    auto zeros = [&out, &written](std::uint64_t upTo) {
        for (; written < upTo; ++written) {
            out.put('\0');
        }
    };
    spool_.flush();
    for (std::size_t i = 0; i < plan.order.size() && out; ++i) {
        const Leaf& leaf = *plan.order[i];
        zeros(plan.offsets[i]);
        if (leaf.data != nullptr) {
            out.write(reinterpret_cast<const char*>(leaf.data->data()),
                      static_cast<std::streamsize>(leaf.data->size()));
            written += leaf.data->size();
            continue;
        }
        spool_.seekg(static_cast<std::streamoff>(leaf.spoolOffset));
        for (std::uint64_t left = leaf.size; left > 0 && spool_ && out;) {
            const auto n =
                static_cast<std::streamsize>(std::min<std::uint64_t>(left, chunk.size()));
            spool_.read(chunk.data(), n);
            out.write(chunk.data(), spool_.gcount());
            left -= static_cast<std::uint64_t>(spool_.gcount());
            written += static_cast<std::uint64_t>(spool_.gcount());
            if (spool_.gcount() != n) {
                return false;
            }
        }
    }
    zeros(AlignUp(static_cast<std::uint32_t>(plan.size), kFileAlignment));
    out.flush();
    return static_cast<bool>(out) && static_cast<bool>(spool_);
}

}  // namespace qv::pe
