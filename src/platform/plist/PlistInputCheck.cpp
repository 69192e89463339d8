#include "platform/plist/PlistInputCheck.h"

#include <algorithm>
#include <cstring>

namespace qp {

namespace {

constexpr std::string_view kBinaryMagic = "bplist00";
constexpr std::size_t kTrailerSize = 32;

constexpr std::uint8_t kDateMarker = 0x33;
constexpr std::uint8_t kArrayKind = 0xA;
constexpr std::uint8_t kSetKind = 0xC;
constexpr std::uint8_t kDictionaryKind = 0xD;
constexpr std::uint8_t kIntegerKind = 0x1;
constexpr std::uint8_t kAsciiStringKind = 0x5;
constexpr std::uint8_t kUtf16StringKind = 0x6;
constexpr std::uint8_t kCountFollows = 0xF;

enum class VisitState : std::uint8_t { Unvisited, OnPath, Done };

std::uint64_t readBigEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

class BinaryChecker {
public:
    explicit BinaryChecker(std::string_view bytes) : m_bytes(bytes) {}

    std::optional<BinaryPlistLayout> run(std::string& reason) {
        if (!readTrailer(reason) || !walk(reason)) return std::nullopt;
        return std::move(m_layout);
    }

private:
    struct Container {
        std::uint64_t object = 0;
        std::size_t refsAt = 0;
        std::uint64_t refCount = 0;
        std::uint64_t nextRef = 0;
        std::uint64_t keyRefs = 0;  // leading references that name dictionary keys
        std::uint64_t height = 0;   // deepest nesting found below so far
        std::uint64_t values = 1;   // this value plus everything below so far
    };

    bool fail(std::string& reason, const char* why) {
        reason = why;
        return false;
    }

    bool readTrailer(std::string& reason) {
        if (m_bytes.size() < kBinaryMagic.size() + kTrailerSize) {
            return fail(reason, "binary property list too short");
        }
        const std::size_t trailer = m_bytes.size() - kTrailerSize;
        m_offsetWidth = static_cast<std::uint8_t>(m_bytes[trailer + 6]);
        m_refWidth = static_cast<std::uint8_t>(m_bytes[trailer + 7]);
        m_objectCount = readBigEndian(m_bytes, trailer + 8, 8);
        m_topObject = readBigEndian(m_bytes, trailer + 16, 8);
        m_offsetTable = readBigEndian(m_bytes, trailer + 24, 8);
        m_objectsEnd = trailer;
        if (m_offsetWidth < 1 || m_offsetWidth > 8 || m_refWidth < 1 || m_refWidth > 8) {
            return fail(reason, "binary property list has bad integer widths");
        }
        if (m_objectCount == 0 || m_topObject >= m_objectCount) {
            return fail(reason, "binary property list has no top object");
        }
        if (m_offsetTable < kBinaryMagic.size() || m_offsetTable > trailer ||
            m_objectCount > (trailer - m_offsetTable) / m_offsetWidth) {
            return fail(reason, "binary property list offset table out of bounds");
        }
        m_state.assign(static_cast<std::size_t>(m_objectCount), VisitState::Unvisited);
        m_height.assign(static_cast<std::size_t>(m_objectCount), 0);
        m_values.assign(static_cast<std::size_t>(m_objectCount), 0);
        return true;
    }

    // Where object `index` starts, or nullopt when that is outside the objects.
    std::optional<std::size_t> objectOffset(std::uint64_t index) const {
        const std::uint64_t offset =
            readBigEndian(m_bytes, static_cast<std::size_t>(m_offsetTable + index * m_offsetWidth),
                          m_offsetWidth);
        if (offset < kBinaryMagic.size() || offset >= m_objectsEnd) return std::nullopt;
        return static_cast<std::size_t>(offset);
    }

    // Reads a container's element count; `at` moves past the count.
    bool readCount(std::uint8_t marker, std::size_t& at, std::uint64_t& count) const {
        count = marker & 0x0F;
        if (count != kCountFollows) return true;
        if (at >= m_objectsEnd) return false;
        const auto intMarker = static_cast<std::uint8_t>(m_bytes[at]);
        if ((intMarker >> 4) != kIntegerKind || (intMarker & 0x0F) > 3) return false;
        const std::size_t width = std::size_t{1} << (intMarker & 0x0F);
        if (m_objectsEnd - at - 1 < width) return false;
        count = readBigEndian(m_bytes, at + 1, width);
        at += 1 + width;
        return true;
    }

    // Looks at one object: records dates, and for containers fills `container`.
    // Answers false when the object is malformed.
    bool inspect(std::uint64_t index, bool& isContainer, Container& container) {
        const std::optional<std::size_t> offset = objectOffset(index);
        if (!offset) return false;
        std::size_t at = *offset;
        const auto marker = static_cast<std::uint8_t>(m_bytes[at++]);
        isContainer = false;
        if (marker == kDateMarker) {
            if (m_objectsEnd - at < 8) return false;
            const std::uint64_t bits = readBigEndian(m_bytes, at, 8);
            double seconds = 0;
            std::memcpy(&seconds, &bits, sizeof seconds);
            m_layout.dates.push_back(seconds);
            return true;
        }
        const std::uint8_t kind = marker >> 4;
        if (kind != kArrayKind && kind != kSetKind && kind != kDictionaryKind) return true;
        std::uint64_t count = 0;
        if (!readCount(marker, at, count)) return false;
        const std::uint64_t perElement = kind == kDictionaryKind ? 2 : 1;
        const std::uint64_t room = (m_objectsEnd - at) / m_refWidth;
        if (count > room / perElement) return false;
        isContainer = true;
        container =
            Container{index, at, count * perElement, 0, kind == kDictionaryKind ? count : 0, 0, 1};
        return true;
    }

    // The parser hands keys out as C strings and aborts on one that holds a
    // NUL, so such keys are refused here. Other key objects it judges itself.
    bool keyIsUsable(std::uint64_t index) const {
        const std::optional<std::size_t> offset = objectOffset(index);
        if (!offset) return false;
        std::size_t at = *offset;
        const auto marker = static_cast<std::uint8_t>(m_bytes[at++]);
        const std::uint8_t kind = marker >> 4;
        if (kind != kAsciiStringKind && kind != kUtf16StringKind) return true;
        std::uint64_t count = 0;
        if (!readCount(marker, at, count)) return false;
        const std::uint64_t unit = kind == kUtf16StringKind ? 2 : 1;
        if (count > (m_objectsEnd - at) / unit) return false;
        const std::string_view text = m_bytes.substr(at, static_cast<std::size_t>(count * unit));
        if (unit == 1) return text.find('\0') == std::string_view::npos;
        for (std::size_t i = 0; i < text.size(); i += 2) {
            if (text[i] == '\0' && text[i + 1] == '\0') return false;
        }
        return true;
    }

    bool walk(std::string& reason) {
        std::vector<Container> path;
        if (!enter(m_topObject, path, reason)) return false;
        while (!path.empty()) {
            Container& top = path.back();
            if (top.nextRef < top.refCount) {
                const std::uint64_t child = readBigEndian(
                    m_bytes, static_cast<std::size_t>(top.refsAt + top.nextRef * m_refWidth),
                    m_refWidth);
                const bool isKey = top.nextRef < top.keyRefs;
                ++top.nextRef;
                if (child >= m_objectCount) {
                    return fail(reason, "binary property list reference out of range");
                }
                if (isKey && !keyIsUsable(child)) {
                    return fail(reason, "binary property list has a key with a NUL character");
                }
                const auto slot = static_cast<std::size_t>(child);
                if (m_state[slot] == VisitState::OnPath) {
                    return fail(reason, "binary property list contains a cycle");
                }
                if (m_state[slot] == VisitState::Unvisited && !enter(child, path, reason)) {
                    return false;
                }
                if (m_state[slot] == VisitState::Done && !absorb(path, slot, reason)) return false;
                continue;
            }
            const auto slot = static_cast<std::size_t>(top.object);
            m_state[slot] = VisitState::Done;
            m_height[slot] = top.height + 1;
            m_values[slot] = top.values;
            path.pop_back();
            if (!path.empty() && !absorb(path, slot, reason)) return false;
        }
        return true;
    }

    // Starts visiting `index`: leaves are finished at once, containers go on the path.
    bool enter(std::uint64_t index, std::vector<Container>& path, std::string& reason) {
        bool isContainer = false;
        Container container;
        if (!inspect(index, isContainer, container)) {
            return fail(reason, "binary property list object out of bounds");
        }
        const auto slot = static_cast<std::size_t>(index);
        if (!isContainer) {
            m_state[slot] = VisitState::Done;
            m_height[slot] = 0;
            m_values[slot] = 1;
            return true;
        }
        if (path.size() >= static_cast<std::size_t>(kMaxPlistNesting)) {
            return fail(reason, "binary property list nested too deeply");
        }
        m_state[slot] = VisitState::OnPath;
        path.push_back(container);
        return true;
    }

    // Adds a finished child to the container on top of `path`. A shared child
    // is copied out wherever it is referenced, so its own nesting counts again
    // at every depth it appears.
    bool absorb(std::vector<Container>& path, std::size_t child, std::string& reason) {
        Container& parent = path.back();
        if (path.size() + m_height[child] > static_cast<std::size_t>(kMaxPlistNesting)) {
            return fail(reason, "binary property list nested too deeply");
        }
        parent.height = std::max(parent.height, m_height[child]);
        parent.values += m_values[child];
        if (parent.values > kMaxPlistExpandedValues) {
            return fail(reason, "binary property list expands too far");
        }
        return true;
    }

    std::string_view m_bytes;
    std::uint8_t m_offsetWidth = 0;
    std::uint8_t m_refWidth = 0;
    std::uint64_t m_objectCount = 0;
    std::uint64_t m_topObject = 0;
    std::uint64_t m_offsetTable = 0;
    std::size_t m_objectsEnd = 0;
    std::vector<VisitState> m_state;
    std::vector<std::uint64_t> m_height;
    std::vector<std::uint64_t> m_values;
    BinaryPlistLayout m_layout;
};

bool startsWith(std::string_view text, std::size_t at, std::string_view prefix) {
    return text.size() - at >= prefix.size() && text.compare(at, prefix.size(), prefix) == 0;
}

// True when the tag name that starts at `at` is exactly `name` (not a longer name).
bool tagNamed(std::string_view text, std::size_t at, std::string_view name) {
    if (!startsWith(text, at, name)) return false;
    const std::size_t end = at + name.size();
    if (end == text.size()) return true;
    const char next = text[end];
    return next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\r' ||
           next == '\n';
}

}  // namespace

std::optional<BinaryPlistLayout> checkBinaryPlist(std::string_view bytes, std::string& reason) {
    if (!startsWith(bytes, 0, kBinaryMagic)) {
        reason = "not a binary property list";
        return std::nullopt;
    }
    return BinaryChecker(bytes).run(reason);
}

bool checkXmlPlistNesting(std::string_view bytes, std::string& reason) {
    // Counts container tags only; anything else the parser judges itself.
    int depth = 0;
    for (std::size_t at = bytes.find('<'); at != std::string_view::npos;
         at = bytes.find('<', at + 1)) {
        const bool closing = at + 1 < bytes.size() && bytes[at + 1] == '/';
        const std::size_t name = at + (closing ? 2 : 1);
        if (!tagNamed(bytes, name, "array") && !tagNamed(bytes, name, "dict")) continue;
        if (closing) {
            if (depth > 0) --depth;
            continue;
        }
        const std::size_t close = bytes.find('>', name);
        if (close != std::string_view::npos && bytes[close - 1] == '/') continue;  // <array/>
        if (++depth > kMaxPlistNesting) {
            reason = "property list nested too deeply";
            return false;
        }
    }
    return true;
}

}  // namespace qp
