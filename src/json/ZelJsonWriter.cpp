#include "json/ZelJsonWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "json/JsonErrors.h"
#include "json/Utf8.h"

namespace qp {
namespace {

constexpr std::size_t kOutputCapacity = 128;

// Follows a chain of proxies to the value they stand for. None (with the
// reason recorded through `fail`) when a proxy gives nothing or the chain
// never ends.
template <typename Fail>
const JsonValue* resolveProxies(const JsonValue& value, std::optional<JsonValue>& held,
                                Fail&& fail) {
    const JsonValue* current = &value;
    for (unsigned hops = 0; current->isProxy(); ++hops) {
        if (hops >= ZelJsonBase::kDepthCeiling) {
            fail(kJsonErrorDepth, std::string(kTextNestedTooDeep));
            return nullptr;
        }
        const std::shared_ptr<const JsonProxy> proxy = *current->proxy();
        std::optional<JsonValue> next = proxy ? proxy->proxyForJson() : std::nullopt;
        if (!next) {
            fail(kJsonErrorUnsupported,
                 fillJsonErrorText(kTextSerialisationNotSupported,
                                   proxy ? proxy->className() : "null proxy"));
            return nullptr;
        }
        held = std::move(next);
        current = &*held;
    }
    return current;
}

}  // namespace

std::optional<std::string> ZelJsonWriter::stringWithObject(const JsonValue& value) {
    const JsonValue* current = &value;
    std::optional<JsonValue> held;
    for (unsigned hops = 0; hops <= kDepthCeiling; ++hops) {
        if (current->isContainer()) {
            std::optional<std::string> text = stringWithFragment(*current);
            if (text || hops == 0) return text;
            break;  // a proxy's failed text falls through to the type error
        }
        if (!current->isProxy() || !*current->proxy()) break;
        std::optional<JsonValue> next = (*current->proxy())->proxyForJson();
        if (!next) break;
        held = std::move(next);
        current = &*held;
    }
    clearErrorTrace();
    addErrorWithCodeDescription(kJsonErrorFragment, kTextNotValidType);
    return std::nullopt;
}

std::optional<std::string> ZelJsonWriter::stringWithFragment(const JsonValue& value) {
    startRun();
    m_runHumanReadable = humanReadable();
    m_runSortKeys = sortKeys();
    JsonOutput out(kOutputCapacity);
    if (!appendValue(value, out)) return std::nullopt;
    return out.text();
}

bool ZelJsonWriter::appendValue(const JsonValue& value, JsonOutput& out) {
    switch (value.kind()) {
        case JsonValue::Kind::Null:
            out.append("null");
            return true;
        case JsonValue::Kind::Boolean:
            out.append(*value.boolean() ? std::string_view("true") : std::string_view("false"));
            return true;
        case JsonValue::Kind::Number:
            out.advanceTo(value.number()->writeTo(out.room(JsonDecimal::kMaxTextLength)));
            return true;
        case JsonValue::Kind::Float:
            return appendFloat(*value.floatingPoint(), out);
        case JsonValue::Kind::String: {
            const JsonString& text = *value.string();
            if (text.knownPlain()) {
                appendPlainString(text, out);
                return true;
            }
            return appendString(text, out);
        }
        case JsonValue::Kind::Array:
            return appendArray(*value.array(), out);
        case JsonValue::Kind::Object:
            return appendObject(*value.object(), out);
        case JsonValue::Kind::Proxy:
            break;
    }
    return appendProxy(value, out);
}

bool ZelJsonWriter::appendProxy(const JsonValue& value, JsonOutput& out) {
    std::optional<JsonValue> held;
    const JsonValue* resolved = resolveProxies(value, held, [this](int code, std::string text) {
        addErrorWithCodeDescription(code, std::move(text));
    });
    return resolved != nullptr && appendValue(*resolved, out);
}

void ZelJsonWriter::appendIndent(JsonOutput& out) const {
    out.put('\n');
    out.append(2 * static_cast<std::size_t>(depth()), ' ');
}

bool ZelJsonWriter::appendArray(const JsonValue::Array& array, JsonOutput& out) {
    if (!enterLevel()) return false;
    out.put('[');
    bool comma = false;
    for (const JsonValue& element : array) {
        if (comma) out.put(',');
        comma = true;
        if (m_runHumanReadable) appendIndent(out);
        if (!appendValue(element, out)) return false;
    }
    leaveLevel();
    if (m_runHumanReadable && !array.empty()) appendIndent(out);
    out.put(']');
    return true;
}

bool ZelJsonWriter::appendObject(const JsonObject& object, JsonOutput& out) {
    if (!enterLevel()) return false;
    out.put('{');
    bool comma = false;
    if (m_runSortKeys) {
        for (const JsonObject::Member* member : sortedMembers(object)) {
            if (!appendMember(*member, comma, out)) return false;
        }
    } else {
        for (const JsonObject::Member& member : object) {
            if (!appendMember(member, comma, out)) return false;
        }
    }
    leaveLevel();
    if (m_runHumanReadable && !object.empty()) appendIndent(out);
    out.put('}');
    return true;
}

bool ZelJsonWriter::appendMember(const JsonObject::Member& member, bool& comma, JsonOutput& out) {
    const bool separate = comma;
    comma = true;
    if (m_runHumanReadable || !appendPlainKey(member.first, separate, out)) {
        if (separate) out.put(',');
        if (m_runHumanReadable) appendIndent(out);
        if (!appendString(member.first, out)) return false;
        if (m_runHumanReadable) {
            out.append(" : ");
        } else {
            out.put(':');
        }
    }
    if (!appendValue(member.second, out)) {
        return fail(kJsonErrorUnsupported, kTextUnsupportedValueForKey, member.first);
    }
    return true;
}

bool ZelJsonWriter::appendPlainKey(const JsonString& key, bool separate, JsonOutput& out) {
    const auto* const start = reinterpret_cast<const unsigned char*>(key.data());
    const auto* const end = start + key.size();
    if (!key.knownPlain() && utf8::skipPlainText(start, end) != end) return false;
    char* p = out.room(key.size() + 4);
    if (separate) *p++ = ',';
    *p++ = '"';
    std::memcpy(p, key.data(), key.size());
    p += key.size();
    *p++ = '"';
    *p++ = ':';
    out.advanceTo(p);
    return true;
}

std::vector<const JsonObject::Member*> ZelJsonWriter::sortedMembers(const JsonObject& object) {
    std::vector<const JsonObject::Member*> order;
    order.reserve(object.size());
    for (const JsonObject::Member& member : object) order.push_back(&member);
    std::sort(order.begin(), order.end(),
              [](const auto* a, const auto* b) { return a->first < b->first; });
    return order;
}

bool ZelJsonWriter::appendString(std::string_view text, JsonOutput& out) {
    const auto* const start = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = start + text.size();
    const unsigned char* const plainEnd = utf8::skipPlainText(start, end);
    if (plainEnd == end) {
        appendPlainString(text, out);
        return true;
    }
    return appendEscapedString(start, plainEnd, end, out);
}

void ZelJsonWriter::appendPlainString(std::string_view text, JsonOutput& out) {
    // Most text needs no escapes: quotes and text in one piece.
    char* const at = out.room(text.size() + 2);
    at[0] = '"';
    std::memcpy(at + 1, text.data(), text.size());
    at[text.size() + 1] = '"';
    out.advance(text.size() + 2);
}

bool ZelJsonWriter::appendEscapedString(const unsigned char* p, const unsigned char* plainEnd,
                                        const unsigned char* end, JsonOutput& out) {
    if (plainEnd == nullptr) {
        return fail(kJsonErrorEncoding, kTextInvalidUtf8);
    }
    out.put('"');
    out.append({reinterpret_cast<const char*>(p), static_cast<std::size_t>(plainEnd - p)});
    p = plainEnd;
    while (p != end) {
        const unsigned char c = *p++;
        switch (c) {
            case '"':
                out.append("\\\"");
                break;
            case '\\':
                out.append("\\\\");
                break;
            case '\b':
                out.append("\\b");
                break;
            case '\t':
                out.append("\\t");
                break;
            case '\n':
                out.append("\\n");
                break;
            case '\f':
                out.append("\\f");
                break;
            case '\r':
                out.append("\\r");
                break;
            default: {
                static constexpr char kHex[] = "0123456789abcdef";
                const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
                out.append({escape, sizeof escape});
            }
        }
        // Copy the longest run that needs no escaping whole.
        const unsigned char* run = p;
        p = utf8::skipPlainText(p, end);
        if (p == nullptr) {
            return fail(kJsonErrorEncoding, kTextInvalidUtf8);
        }
        out.append({reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run)});
    }
    out.put('"');
    return true;
}

bool ZelJsonWriter::appendFloat(double value, JsonOutput& out) {
    if (!std::isfinite(value)) {
        return fail(kJsonErrorUnsupported, kTextSerialisationNotSupported,
                    std::isnan(value) ? "NaN" : "infinity");
    }
    // The shortest digits that read back as the same double, without exponent.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    out.append({buffer, static_cast<std::size_t>(result.ptr - buffer)});
    return true;
}

}  // namespace qp
