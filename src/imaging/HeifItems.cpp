#include "imaging/HeifItems.h"

#include <cstring>
#include <functional>

namespace qp {
namespace {

std::uint32_t u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint16_t u16(const std::uint8_t* p) {
    return std::uint16_t(p[0] << 8 | p[1]);
}

struct Box {
    std::string type;
    const std::uint8_t* body;
    std::size_t size;
};

// Visits the boxes laid one after another in [data, data + size); stops at
// the first that does not fit. `visit` returns false to stop.
void walkBoxes(const std::uint8_t* data, std::size_t size,
               const std::function<bool(const Box&)>& visit) {
    std::size_t at = 0;
    while (size - at >= 8) {
        std::size_t length = u32(data + at);
        std::size_t header = 8;
        if (length == 1) {  // a 64-bit size follows the type
            if (size - at < 16 || u32(data + at + 8) != 0) return;
            length = u32(data + at + 12);
            header = 16;
        } else if (length == 0) {
            length = size - at;  // to the end
        }
        if (length < header || length > size - at) return;
        const Box box{std::string(reinterpret_cast<const char*>(data + at + 4), 4),
                      data + at + header, length - header};
        if (!visit(box)) return;
        at += length;
    }
}

std::optional<Box> child(const Box& parent, std::size_t skip, const char* type) {
    std::optional<Box> found;
    if (parent.size < skip) return found;
    walkBoxes(parent.body + skip, parent.size - skip, [&](const Box& box) {
        if (box.type == type) found = box;
        return !found;
    });
    return found;
}

}  // namespace

std::optional<std::string> heifPrimaryItemType(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) return std::nullopt;
    std::optional<Box> meta;
    walkBoxes(data, size, [&](const Box& box) {
        if (box.type == "meta") meta = box;
        return !meta;
    });
    if (!meta) return std::nullopt;
    // meta, pitm, iinf and infe are full boxes: version and flags first.
    const auto pitm = child(*meta, 4, "pitm");
    const auto iinf = child(*meta, 4, "iinf");
    if (!pitm || !iinf || pitm->size < 6 || iinf->size < 6) return std::nullopt;
    if (pitm->body[0] != 0 && pitm->size < 8) return std::nullopt;
    const std::uint32_t primary = pitm->body[0] == 0 ? u16(pitm->body + 4) : u32(pitm->body + 4);
    const std::size_t entries = iinf->body[0] == 0 ? 6 : 8;  // the entry count's width
    std::optional<std::string> type;
    if (iinf->size < entries) return std::nullopt;
    walkBoxes(iinf->body + entries, iinf->size - entries, [&](const Box& infe) {
        if (infe.type != "infe" || infe.size < 4) return true;
        const int version = infe.body[0];
        if (version < 2) return true;  // no item type before version 2
        const std::size_t idWidth = version == 2 ? 2 : 4;
        // Item ID, protection index (2 bytes), item type.
        if (infe.size < 4 + idWidth + 2 + 4) return true;
        const std::uint32_t id = idWidth == 2 ? u16(infe.body + 4) : u32(infe.body + 4);
        if (id != primary) return true;
        type = std::string(reinterpret_cast<const char*>(infe.body + 4 + idWidth + 2), 4);
        return false;
    });
    return type;
}

std::string heifCodecName(const std::string& itemType) {
    static const std::pair<const char*, const char*> kNames[] = {
        {"hvc1", "HEVC"},      {"av01", "AV1"}, {"jpeg", "JPEG"}, {"avc1", "H.264"},
        {"j2k1", "JPEG 2000"}, {"vvc1", "VVC"}, {"evc1", "EVC"},  {"unci", "uncompressed"},
    };
    for (const auto& [type, name] : kNames) {
        if (itemType == type) return name;
    }
    std::string shown;
    for (char c : itemType) shown += c >= 0x20 && c <= 0x7E ? c : '?';
    return "'" + shown + "'";
}

}  // namespace qp
