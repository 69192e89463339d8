#include "platform/plist/PropertyList.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <string_view>
#include <system_error>
#include <utility>

#include <plist/plist.h>

#include "platform/Paths.h"
#include "platform/TextEncoding.h"
#include "platform/plist/PlistInputCheck.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

// Property-list dates count seconds from 2001-01-01T00:00:00Z; this is that
// moment in Unix time.
constexpr std::int64_t kReferenceDateUnixSeconds = 978307200;
constexpr std::int64_t kMicrosPerSecond = 1000000;
// How a keyed-archive object reference reads when it has no type of its own.
constexpr const char* kUidKey = "CF$UID";
constexpr std::string_view kBinaryPrefix = "bplist";

Error plistError(int code, const std::string& what) {
    return Error(kPropertyListErrorDomain, code, {{kLocalizedDescriptionKey, what}});
}

// Owns one libplist node tree.
struct NodeDeleter {
    void operator()(void* node) const { plist_free(node); }
};
using NodePtr = std::unique_ptr<void, NodeDeleter>;

template <typename T>
const T& emptyValue() {
    static const T empty;
    return empty;
}

// ---- dates -------------------------------------------------------------------

std::int64_t microsSinceReference(PlistDate date) {
    const auto unixMicros =
        std::chrono::floor<std::chrono::microseconds>(date.time_since_epoch()).count();
    return unixMicros - kReferenceDateUnixSeconds * kMicrosPerSecond;
}

PlistDate dateFromReferenceMicros(std::int64_t micros) {
    const std::int64_t unixMicros = micros + kReferenceDateUnixSeconds * kMicrosPerSecond;
    return PlistDate(
        std::chrono::duration_cast<PlistDate::duration>(std::chrono::microseconds(unixMicros)));
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The parser hands dates out as whole seconds (truncated toward zero) and a
// microsecond part that is truncated and loses its sign. Binary files keep
// the exact seconds as a double, so the checker's copies are matched back by
// that same split; XML holds whole seconds only.
class DateRecovery {
public:
    explicit DateRecovery(const std::vector<double>& stored) {
        for (double seconds : stored) {
            if (!std::isfinite(seconds) || std::fabs(seconds) > 4e9) continue;
            m_bySplit.emplace(split(seconds), seconds);
        }
    }

    PlistDate date(std::int32_t sec, std::int32_t usec) const {
        for (std::int64_t slack : {0, -1, 1}) {
            auto it = m_bySplit.find({sec, usec + slack});
            if (it != m_bySplit.end()) {
                return dateFromReferenceMicros(std::llround(it->second * 1e6));
            }
        }
        const std::int64_t whole = std::int64_t{sec} * kMicrosPerSecond;
        return dateFromReferenceMicros(sec < 0 ? whole - usec : whole + usec);
    }

private:
    using Split = std::pair<std::int64_t, std::int64_t>;

    static Split split(double seconds) {
        const double whole = std::trunc(seconds);
        return {static_cast<std::int64_t>(whole),
                static_cast<std::int64_t>(std::fabs(seconds - whole) * 1e6)};
    }

    std::map<Split, double> m_bySplit;
};

// ---- PlistValue -> libplist --------------------------------------------------

class NodeBuilder {
public:
    explicit NodeBuilder(PlistFormat format) : m_format(format) {}

    Result<NodePtr> build(const PlistValue& value, int depth = 0) const {
        switch (value.type()) {
            case PlistValue::Type::String: {
                const std::string text = value.stringValue();
                if (text.find('\0') != std::string::npos) {
                    return plistError(kPropertyListUnrepresentable,
                                      "string contains a NUL character");
                }
                return NodePtr(plist_new_string(text.c_str()));
            }
            case PlistValue::Type::Integer:
                return NodePtr(plist_new_uint(static_cast<std::uint64_t>(value.integerValue())));
            case PlistValue::Type::Real:
                return NodePtr(plist_new_real(value.realValue()));
            case PlistValue::Type::Boolean:
                return NodePtr(plist_new_bool(value.boolValue() ? 1 : 0));
            case PlistValue::Type::Date:
                return buildDate(value.dateValue());
            case PlistValue::Type::Data: {
                const PlistData& data = value.dataValue();
                return NodePtr(
                    plist_new_data(reinterpret_cast<const char*>(data.data()), data.size()));
            }
            case PlistValue::Type::Array:
                return buildArray(value.arrayValue(), depth);
            case PlistValue::Type::Dictionary:
                return buildDictionary(value.dictionaryValue(), depth);
        }
        return plistError(kPropertyListUnrepresentable, "unknown value type");
    }

private:
    Result<NodePtr> buildDate(PlistDate date) const {
        const std::int64_t micros = microsSinceReference(date);
        std::int64_t seconds = floorDiv(micros, kMicrosPerSecond);
        std::int64_t fraction = micros - seconds * kMicrosPerSecond;
        // XML dates carry whole seconds; the fraction would only be cut off
        // toward zero, which is a second late for dates before the reference.
        if (m_format == PlistFormat::Xml) fraction = 0;
        if (seconds < std::numeric_limits<std::int32_t>::min() ||
            seconds > std::numeric_limits<std::int32_t>::max()) {
            return plistError(kPropertyListUnrepresentable, "date outside the years 1933 to 2069");
        }
        return NodePtr(plist_new_date(static_cast<std::int32_t>(seconds),
                                      static_cast<std::int32_t>(fraction)));
    }

    Result<NodePtr> buildArray(const PlistArray& items, int depth) const {
        if (depth >= kMaxPlistNesting) return tooDeep();
        NodePtr node(plist_new_array());
        for (const PlistValue& item : items) {
            Result<NodePtr> child = build(item, depth + 1);
            if (!child) return child.error();
            plist_array_append_item(node.get(), child.value().release());
        }
        return node;
    }

    Result<NodePtr> buildDictionary(const PlistDictionary& members, int depth) const {
        if (depth >= kMaxPlistNesting) return tooDeep();
        NodePtr node(plist_new_dict());
        for (const auto& [key, member] : members) {
            if (key.find('\0') != std::string::npos) {
                return plistError(kPropertyListUnrepresentable, "key contains a NUL character");
            }
            Result<NodePtr> child = build(member, depth + 1);
            if (!child) return child.error();
            plist_dict_set_item(node.get(), key.c_str(), child.value().release());
        }
        return node;
    }

    static Error tooDeep() {
        return plistError(kPropertyListUnrepresentable, "value nested too deeply");
    }

    PlistFormat m_format;
};

// ---- libplist -> PlistValue --------------------------------------------------

class ValueReader {
public:
    explicit ValueReader(const DateRecovery& dates) : m_dates(dates) {}

    // The checks before parsing bound the depth; the limit here guards the
    // recursion independently of them.
    Result<PlistValue> read(plist_t node, int depth = 0) const {
        if (depth > kMaxPlistNesting)
            return plistError(kPropertyListMalformed, "nested too deeply");
        switch (plist_get_node_type(node)) {
            case PLIST_BOOLEAN: {
                std::uint8_t flag = 0;
                plist_get_bool_val(node, &flag);
                return PlistValue(flag != 0);
            }
            case PLIST_UINT: {
                std::uint64_t number = 0;
                plist_get_uint_val(node, &number);
                return PlistValue(static_cast<std::int64_t>(number));
            }
            case PLIST_REAL: {
                double number = 0;
                plist_get_real_val(node, &number);
                return PlistValue(number);
            }
            case PLIST_STRING:
            case PLIST_KEY: {
                std::uint64_t length = 0;
                const char* text = plist_get_string_ptr(node, &length);
                std::string value = text ? std::string(text, length) : std::string();
                // Binary files can label any bytes as ASCII text.
                if (!isValidUtf8(value))
                    return plistError(kPropertyListMalformed, "text is not valid UTF-8");
                return PlistValue(std::move(value));
            }
            case PLIST_DATA: {
                std::uint64_t length = 0;
                const char* bytes = plist_get_data_ptr(node, &length);
                const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes);
                return PlistValue(bytes ? PlistData(begin, begin + length) : PlistData());
            }
            case PLIST_DATE: {
                std::int32_t sec = 0;
                std::int32_t usec = 0;
                plist_get_date_val(node, &sec, &usec);
                return PlistValue(m_dates.date(sec, usec));
            }
            case PLIST_UID: {
                std::uint64_t uid = 0;
                plist_get_uid_val(node, &uid);
                return PlistValue(PlistDictionary{{kUidKey, static_cast<std::int64_t>(uid)}});
            }
            case PLIST_ARRAY:
                return readArray(node, depth);
            case PLIST_DICT:
                return readDictionary(node, depth);
            default:
                return plistError(kPropertyListMalformed, "value of unknown type");
        }
    }

private:
    Result<PlistValue> readArray(plist_t node, int depth) const {
        PlistArray items;
        const std::uint32_t count = plist_array_get_size(node);
        items.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            Result<PlistValue> item = read(plist_array_get_item(node, i), depth + 1);
            if (!item) return item.error();
            items.push_back(std::move(item).value());
        }
        return PlistValue(std::move(items));
    }

    Result<PlistValue> readDictionary(plist_t node, int depth) const {
        PlistDictionary members;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        if (!iter) return plistError(kPropertyListMalformed, "unreadable dictionary");
        std::optional<Error> failure;
        for (;;) {
            char* key = nullptr;
            plist_t member = nullptr;
            plist_dict_next_item(node, iter, &key, &member);
            if (!member) {
                std::free(key);
                break;
            }
            Result<PlistValue> value = read(member, depth + 1);
            if (value && key && !isValidUtf8(key))
                value = plistError(kPropertyListMalformed, "key is not valid UTF-8");
            if (value && key) members[key] = std::move(value).value();
            std::free(key);
            if (!value) {
                failure = value.error();
                break;
            }
        }
        std::free(iter);
        if (failure) return *failure;
        return PlistValue(std::move(members));
    }

    const DateRecovery& m_dates;
};

}  // namespace

// ---- PlistValue ----------------------------------------------------------------

PlistValue::PlistValue(PlistArray v) : m_value(std::make_shared<PlistArray>(std::move(v))) {}

PlistValue::PlistValue(PlistDictionary v)
    : m_value(std::make_shared<PlistDictionary>(std::move(v))) {}

PlistValue::Type PlistValue::type() const {
    return static_cast<Type>(m_value.index());
}

std::string PlistValue::stringValue(const std::string& fallback) const {
    const auto* text = std::get_if<std::string>(&m_value);
    return text ? *text : fallback;
}

std::int64_t PlistValue::integerValue(std::int64_t fallback) const {
    if (const auto* number = std::get_if<std::int64_t>(&m_value)) return *number;
    if (const auto* flag = std::get_if<bool>(&m_value)) return *flag ? 1 : 0;
    if (const auto* real = std::get_if<double>(&m_value)) {
        // Converting NaN or an out-of-range real is undefined; pin them instead.
        if (std::isnan(*real)) return fallback;
        constexpr double kLimit = 9223372036854775808.0;  // 2^63
        if (*real >= kLimit) return std::numeric_limits<std::int64_t>::max();
        if (*real < -kLimit) return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(*real);
    }
    return fallback;
}

double PlistValue::realValue(double fallback) const {
    if (const auto* real = std::get_if<double>(&m_value)) return *real;
    if (const auto* number = std::get_if<std::int64_t>(&m_value)) {
        return static_cast<double>(*number);
    }
    if (const auto* flag = std::get_if<bool>(&m_value)) return *flag ? 1.0 : 0.0;
    return fallback;
}

bool PlistValue::boolValue(bool fallback) const {
    if (const auto* flag = std::get_if<bool>(&m_value)) return *flag;
    if (const auto* number = std::get_if<std::int64_t>(&m_value)) return *number != 0;
    if (const auto* real = std::get_if<double>(&m_value)) return *real != 0.0;
    return fallback;
}

PlistDate PlistValue::dateValue(PlistDate fallback) const {
    const auto* date = std::get_if<PlistDate>(&m_value);
    return date ? *date : fallback;
}

const PlistData& PlistValue::dataValue() const {
    const auto* data = std::get_if<PlistData>(&m_value);
    return data ? *data : emptyValue<PlistData>();
}

const PlistArray& PlistValue::arrayValue() const {
    const auto* items = std::get_if<std::shared_ptr<PlistArray>>(&m_value);
    return items ? **items : emptyValue<PlistArray>();
}

const PlistDictionary& PlistValue::dictionaryValue() const {
    const auto* members = std::get_if<std::shared_ptr<PlistDictionary>>(&m_value);
    return members ? **members : emptyValue<PlistDictionary>();
}

// Copies share their containers; the first change through a shared copy
// takes a private one so no other value sees it.
PlistArray& PlistValue::mutableArray() {
    auto* items = std::get_if<std::shared_ptr<PlistArray>>(&m_value);
    if (!items)
        return *m_value.emplace<std::shared_ptr<PlistArray>>(std::make_shared<PlistArray>());
    if (items->use_count() > 1) *items = std::make_shared<PlistArray>(**items);
    return **items;
}

PlistDictionary& PlistValue::mutableDictionary() {
    auto* members = std::get_if<std::shared_ptr<PlistDictionary>>(&m_value);
    if (!members) {
        return *m_value.emplace<std::shared_ptr<PlistDictionary>>(
            std::make_shared<PlistDictionary>());
    }
    if (members->use_count() > 1) *members = std::make_shared<PlistDictionary>(**members);
    return **members;
}

const PlistValue* PlistValue::find(const std::string& key) const {
    const auto* members = std::get_if<std::shared_ptr<PlistDictionary>>(&m_value);
    if (!members) return nullptr;
    auto it = (*members)->find(key);
    return it == (*members)->end() ? nullptr : &it->second;
}

bool operator==(const PlistValue& a, const PlistValue& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
        case PlistValue::Type::Array:
            return a.arrayValue() == b.arrayValue();
        case PlistValue::Type::Dictionary:
            return a.dictionaryValue() == b.dictionaryValue();
        default:
            return a.m_value == b.m_value;
    }
}

// ---- reading and writing -----------------------------------------------------

Result<PlistValue> parsePropertyList(const std::string& bytes) {
    if (bytes.empty()) return plistError(kPropertyListMalformed, "empty property list");
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return plistError(kPropertyListMalformed, "property list too large");
    }
    const auto length = static_cast<std::uint32_t>(bytes.size());
    std::string reason;
    std::vector<double> storedDates;
    plist_t root = nullptr;
    if (std::string_view(bytes).substr(0, kBinaryPrefix.size()) == kBinaryPrefix) {
        std::optional<BinaryPlistLayout> layout = checkBinaryPlist(bytes, reason);
        if (!layout) return plistError(kPropertyListMalformed, reason);
        storedDates = std::move(layout->dates);
        plist_from_bin(bytes.data(), length, &root);
    } else {
        if (!checkXmlPlistNesting(bytes, reason)) return plistError(kPropertyListMalformed, reason);
        plist_from_xml(bytes.data(), length, &root);
    }
    if (!root) return plistError(kPropertyListMalformed, "not a property list");
    NodePtr owner(root);
    const DateRecovery dates(storedDates);
    return ValueReader(dates).read(root);
}

Result<void> checkPropertyListValue(const PlistValue& value, PlistFormat format) {
    Result<NodePtr> node = NodeBuilder(format).build(value);
    if (!node) return node.error();
    return {};
}

Result<std::string> serializePropertyList(const PlistValue& value, PlistFormat format) {
    Result<NodePtr> node = NodeBuilder(format).build(value);
    if (!node) return node.error();
    char* buffer = nullptr;
    std::uint32_t length = 0;
    if (format == PlistFormat::Xml) {
        plist_to_xml(node.value().get(), &buffer, &length);
    } else {
        plist_to_bin(node.value().get(), &buffer, &length);
    }
    if (!buffer)
        return plistError(kPropertyListUnrepresentable, "property list could not be encoded");
    std::string bytes(buffer, length);
    if (format == PlistFormat::Xml) {
        plist_to_xml_free(buffer);
    } else {
        plist_to_bin_free(buffer);
    }
    return bytes;
}

Result<PlistValue> readPropertyListFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        return plistError(kPropertyListMissing, "no property list at " + path.string());
    }
    Result<std::string> bytes = readFile(path);
    if (!bytes) {
        return Error(kPropertyListErrorDomain, kPropertyListMalformed,
                     {{kLocalizedDescriptionKey, "cannot read " + path.string()}}, bytes.error());
    }
    Result<PlistValue> value = parsePropertyList(bytes.value());
    if (!value) {
        return Error(kPropertyListErrorDomain, kPropertyListMalformed,
                     {{kLocalizedDescriptionKey, "damaged property list " + path.string()}},
                     value.error());
    }
    return value;
}

Result<void> writePropertyListFile(const fs::path& path, const PlistValue& value,
                                   PlistFormat format) {
    Result<std::string> bytes = serializePropertyList(value, format);
    if (!bytes) return bytes.error();
    Result<void> written = writeFileAtomically(path, bytes.value());
    if (!written) {
        return Error(kPropertyListErrorDomain, kPropertyListWriteFailed,
                     {{kLocalizedDescriptionKey, "cannot write " + path.string()}},
                     written.error());
    }
    return {};
}

}  // namespace qp
