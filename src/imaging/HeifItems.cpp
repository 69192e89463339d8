#include "imaging/HeifItems.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

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

namespace {

struct Primary {
    Box meta;
    std::uint32_t id = 0;
};

std::optional<Primary> primaryOf(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) return std::nullopt;
    std::optional<Box> meta;
    walkBoxes(data, size, [&](const Box& box) {
        if (box.type == "meta") meta = box;
        return !meta;
    });
    if (!meta) return std::nullopt;
    // meta, pitm, iinf, infe and iloc are full boxes: version and flags first.
    const auto pitm = child(*meta, 4, "pitm");
    if (!pitm || pitm->size < 6 || (pitm->body[0] != 0 && pitm->size < 8)) return std::nullopt;
    return Primary{*meta, pitm->body[0] == 0 ? u16(pitm->body + 4) : u32(pitm->body + 4)};
}

// A big-endian number of `width` bytes (0, 4 or 8; the upper half of an
// 8-byte one must be zero) at `at` within `size`, advancing `at`.
std::optional<std::uint64_t> sizedNumber(const std::uint8_t* p, std::size_t size, std::size_t& at,
                                         int width) {
    if (width == 0) return 0;
    if ((width != 4 && width != 8) || size - at < std::size_t(width) || at > size)
        return std::nullopt;
    if (width == 8 && u32(p + at) != 0) return std::nullopt;
    const std::uint64_t value = u32(p + at + (width == 8 ? 4 : 0));
    at += std::size_t(width);
    return value;
}

// Where item `id`'s data begins (its first extent), in the file
// (construction method 0) or the meta box's idat (method 1).
std::optional<Box> itemData(const std::uint8_t* data, std::size_t size, const Primary& primary) {
    const auto iloc = child(primary.meta, 4, "iloc");
    if (!iloc || iloc->size < 8) return std::nullopt;
    const std::uint8_t* p = iloc->body;
    const std::size_t n = iloc->size;
    const int version = p[0];
    const int offsetSize = p[4] >> 4, lengthSize = p[4] & 15, baseSize = p[5] >> 4;
    const int indexSize = version >= 1 ? (p[5] & 15) : 0;
    std::size_t at = 6;
    const auto field = [&](int width) { return sizedNumber(p, n, at, width); };
    // Item counts and ids are 16 bits wide before version 2, 32 from it on.
    // An out value rather than an optional: g++ at -O1 (the sanitizer builds)
    // takes an optional's value here for maybe-uninitialised.
    const auto itemNumber = [&](std::uint64_t& value) {
        if (version >= 2) {
            const auto wide = field(4);
            value = wide.value_or(0);
            return wide.has_value();
        }
        if (n - at < 2) return false;
        value = u16(p + at);
        at += 2;
        return true;
    };
    std::uint64_t count = 0;
    if (!itemNumber(count)) return std::nullopt;
    for (std::uint64_t item = 0; item < count; ++item) {
        std::uint64_t id = 0;
        if (!itemNumber(id) || n - at < 2 || at > n) return std::nullopt;
        int method = 0;
        if (version >= 1) {
            method = u16(p + at) & 15;
            at += 2;
        }
        at += 2;  // data reference index
        const auto base = field(baseSize);
        if (!base || n - at < 2 || at > n) return std::nullopt;
        const int extents = u16(p + at);
        at += 2;
        std::uint64_t first = 0;
        bool hasFirst = false;
        for (int e = 0; e < extents; ++e) {
            if (!field(indexSize)) return std::nullopt;
            const auto offset = field(offsetSize);
            const auto length = field(lengthSize);
            if (!offset || !length) return std::nullopt;
            if (e == 0) {
                first = *base + *offset;
                hasFirst = true;
            }
        }
        if (id != primary.id) continue;
        if (!hasFirst) return std::nullopt;
        // Read as a decoder reads it: from the data's start to the file's end,
        // whatever length the extent claims, so a header that runs past its
        // extent is still seen with the bytes a decoder would take.
        const std::uint8_t* from = data;
        if (method == 1) {
            const auto idat = child(primary.meta, 4, "idat");
            if (!idat) return std::nullopt;
            from = idat->body;
        } else if (method != 0) {
            return std::nullopt;
        }
        const std::size_t available = std::size_t(data + size - from);
        if (first > available) return std::nullopt;
        return Box{"data", from + first, available - std::size_t(first)};
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> heifPrimaryItemType(const std::uint8_t* data, std::size_t size) {
    const auto primary = primaryOf(data, size);
    if (!primary) return std::nullopt;
    const auto iinf = child(primary->meta, 4, "iinf");
    if (!iinf || iinf->size < 6) return std::nullopt;
    const std::size_t entries = iinf->body[0] == 0 ? 6 : 8;  // the entry count's width
    if (iinf->size < entries) return std::nullopt;
    std::optional<std::string> type;
    walkBoxes(iinf->body + entries, iinf->size - entries, [&](const Box& infe) {
        if (infe.type != "infe" || infe.size < 4) return true;
        const int version = infe.body[0];
        if (version < 2) return true;  // no item type before version 2
        const std::size_t idWidth = version == 2 ? 2 : 4;
        // Item ID, protection index (2 bytes), item type.
        if (infe.size < 4 + idWidth + 2 + 4) return true;
        const std::uint32_t id = idWidth == 2 ? u16(infe.body + 4) : u32(infe.body + 4);
        if (id != primary->id) return true;
        type = std::string(reinterpret_cast<const char*>(infe.body + 4 + idWidth + 2), 4);
        return false;
    });
    return type;
}

HeifDerivedPictures heifDerivedPictures(const std::uint8_t* data, std::size_t size) {
    HeifDerivedPictures found;
    const auto primary = primaryOf(data, size);
    const auto iinf = primary ? child(primary->meta, 4, "iinf") : std::nullopt;
    if (!iinf || iinf->size < 6) return found;
    const std::size_t entries = iinf->body[0] == 0 ? 6 : 8;
    if (iinf->size < entries) return found;
    walkBoxes(iinf->body + entries, iinf->size - entries, [&](const Box& infe) {
        if (infe.type != "infe" || infe.size < 4 || infe.body[0] < 2) return true;
        const std::size_t idWidth = infe.body[0] == 2 ? 2 : 4;
        if (infe.size < 4 + idWidth + 2 + 4) return true;
        const std::uint32_t id = idWidth == 2 ? u16(infe.body + 4) : u32(infe.body + 4);
        const std::string type(reinterpret_cast<const char*>(infe.body + 4 + idWidth + 2), 4);
        if (type != "grid" && type != "iovl") return true;
        const auto header = itemData(data, size, Primary{primary->meta, id});
        // grid: version, flags, rows - 1, columns - 1, then the size;
        // iovl: version, flags, four 16-bit fill values, then the size.
        // Flags bit 0: 32-bit sizes.
        const std::size_t at = type == "grid" ? 4 : 10;
        if (!header || header->size < at + 4) return true;
        const bool wide = (header->body[1] & 1) != 0;
        if (wide && header->size < at + 8) return true;
        const HeifGridSize canvas =
            wide ? HeifGridSize{u32(header->body + at), u32(header->body + at + 4)}
                 : HeifGridSize{u16(header->body + at), u16(header->body + at + 2)};
        if (canvas.width * canvas.height > found.largestCanvas.width * found.largestCanvas.height) {
            found.largestCanvas = canvas;
        }
        if (type == "grid") {
            found.mostTiles =
                std::max(found.mostTiles, (header->body[2] + 1) * (header->body[3] + 1));
        }
        return true;
    });
    return found;
}

namespace {

// Reads the bits of an HEVC NAL unit, emulation prevention bytes (00 00 03)
// dropped, and fails softly past the end.
class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            if (i >= 2 && data[i] == 3 && data[i - 1] == 0 && data[i - 2] == 0) continue;
            m_bytes.push_back(data[i]);
        }
    }
    bool ok() const { return m_ok; }
    std::uint32_t bits(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            if (m_at >= m_bytes.size() * 8) {
                m_ok = false;
                return 0;
            }
            value = value << 1 | ((m_bytes[m_at / 8] >> (7 - m_at % 8)) & 1);
            ++m_at;
        }
        return value;
    }
    void skip(int count) {
        for (int i = 0; i < count; ++i) bits(1);
    }
    // Exp-Golomb, as the parameter sets code their sizes.
    std::uint64_t unsignedGolomb() {
        int zeros = 0;
        while (m_ok && bits(1) == 0) {
            if (++zeros > 31) m_ok = false;
        }
        if (!m_ok) return 0;
        return (std::uint64_t(1) << zeros) - 1 + bits(zeros);
    }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_ok = true;
};

// pic_width and pic_height of a sequence parameter set (NAL type 33).
std::optional<HeifGridSize> spsSize(const std::uint8_t* nal, std::size_t size) {
    BitReader r(nal, size);
    r.skip(16);  // NAL unit header
    r.skip(4);   // video parameter set id
    const int subLayers = int(r.bits(3));
    r.skip(1);
    r.skip(96);  // general profile, tier and level
    std::vector<std::pair<bool, bool>> present;
    for (int i = 0; i < subLayers; ++i) {
        const bool profile = r.bits(1) != 0;
        const bool level = r.bits(1) != 0;
        present.emplace_back(profile, level);
    }
    if (subLayers > 0) r.skip(2 * (8 - subLayers));
    for (const auto& [profile, level] : present) {
        if (profile) r.skip(88);
        if (level) r.skip(8);
    }
    r.unsignedGolomb();                      // sequence parameter set id
    if (r.unsignedGolomb() == 3) r.skip(1);  // chroma 4:4:4, separate planes flag
    const std::uint64_t width = r.unsignedGolomb();
    const std::uint64_t height = r.unsignedGolomb();
    if (!r.ok()) return std::nullopt;
    return HeifGridSize{std::int64_t(width), std::int64_t(height)};
}

// The parameter sets of an hvcC box: 22 bytes of configuration, then
// arrays of NAL units by type.
void visitSps(const Box& hvcc, const std::function<void(HeifGridSize)>& visit) {
    if (hvcc.size < 23) return;
    const std::uint8_t* p = hvcc.body;
    std::size_t at = 23;
    for (int array = 0; array < p[22]; ++array) {
        if (hvcc.size - at < 3) return;
        const int type = p[at] & 0x3F;
        const int count = u16(p + at + 1);
        at += 3;
        for (int i = 0; i < count; ++i) {
            if (hvcc.size - at < 2) return;
            const std::size_t length = u16(p + at);
            at += 2;
            if (hvcc.size - at < length) return;
            if (type == 33) {
                if (const auto size = spsSize(p + at, length)) visit(*size);
            }
            at += length;
        }
    }
}

}  // namespace

std::optional<HeifGridSize> heifLargestCodedSize(const std::uint8_t* data, std::size_t size) {
    const auto primary = primaryOf(data, size);
    const auto iprp = primary ? child(primary->meta, 4, "iprp") : std::nullopt;
    const auto ipco = iprp ? child(*iprp, 0, "ipco") : std::nullopt;
    if (!ipco) return std::nullopt;
    std::optional<HeifGridSize> largest;
    walkBoxes(ipco->body, ipco->size, [&](const Box& property) {
        if (property.type != "hvcC") return true;
        visitSps(property, [&](HeifGridSize coded) {
            if (!largest || coded.width * coded.height > largest->width * largest->height)
                largest = coded;
        });
        return true;
    });
    return largest;
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
