#include "appkit/Configuration.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "json/JsonValue.h"
#include "json/ZelJSON.h"
#include "platform/Paths.h"
#include "platform/TextEncoding.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

constexpr const char* kConfigErrorDomain = "qp.config";
enum ConfigErrorCode { kConfigErrorInvalid = 1 };
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kAnalyticsKeyLength = 20;

const std::map<std::string, std::string>& defaults() {
    static const std::map<std::string, std::string> values = {
        {config::kAnalyticsKey, "QUILLPOSTDESKTOP2026"},
        {config::kAnalyticsReportUrl, ""},
        {config::kAnalyticsEnabled, "true"},
        {config::kFeedHost, ""},
        {config::kMoreAppsHost, ""},
        {config::kFacebookGraphUrl, "https://graph.facebook.com/"},
        {config::kFacebookRestUrl, "https://api.facebook.com/method/"},
        {config::kFacebookDialogUrl, "https://m.facebook.com/dialog/"},
        {config::kFacebookLoginSite, "https://m.facebook.com/"},
        {config::kStoreHost, ""},
        {config::kStoreId, ""},
        {config::kFeedbackMail, ""},
        {config::kDownloadLink, "https://quillpost.net/get"},
        {config::kPhotoLibrary, ""},
        {config::kAlbumFolder, ""},
        {config::kSmtpUrl, ""},
        {config::kSmtpUser, ""},
        {config::kSmtpPasswordFile, ""},
    };
    return values;
}

Error configError(const std::string& origin, const std::string& what) {
    return Error(kConfigErrorDomain, kConfigErrorInvalid,
                 {{kLocalizedDescriptionKey, origin + ": " + what}});
}

// The reader's trace runs from the first fault it met to the outermost
// structure it was in: the first says what, the last says where.
std::string parseFailure(const ZelJSON& json) {
    const std::vector<Error>& trace = json.errorTrace();
    if (trace.empty()) return "not JSON";
    std::string reason = trace.front().description();
    if (trace.size() > 1) reason += "; " + trace.back().description();
    return reason;
}

bool isAnalyticsKey(const std::string& value) {
    if (value.size() != kAnalyticsKeyLength) return false;
    for (char c : value) {
        if (!(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9')) return false;
    }
    return true;
}

// What is wrong with `value` for `key`, or nothing. Only keys with a fixed
// form are checked; hosts and addresses are the user's business.
std::optional<std::string> valueProblem(const std::string& key, const std::string& value) {
    if (key == config::kAnalyticsKey && !isAnalyticsKey(value)) {
        return "\"" + key + "\" must be " + std::to_string(kAnalyticsKeyLength) +
               " capital letters and digits (like " + defaults().at(key) + "), not \"" +
               sanitizeUtf8(value) + "\"";
    }
    if (key == config::kStoreId && value.find_first_not_of("0123456789") != std::string::npos) {
        return "\"" + key + "\" must be the product's number in the store (digits only), not \"" +
               sanitizeUtf8(value) + "\"";
    }
    if (key == config::kAnalyticsEnabled && value != "true" && value != "false") {
        return "\"" + key + "\" must be true or false, not \"" + sanitizeUtf8(value) + "\"";
    }
    return std::nullopt;
}

}  // namespace

Configuration::Configuration() : m_values(defaults()) {}

std::string Configuration::environmentName(const std::string& key) {
    std::string name = "QUILLPOST_";
    for (char c : key) name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

std::filesystem::path Configuration::defaultFile() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        return std::filesystem::path(xdg) / "quillpost" / "config.json";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/tmp") / ".config" / "quillpost" /
           "config.json";
}

Result<void> Configuration::checkFile(const fs::path& file) {
    if (file.empty()) return configError("\"\"", "an empty name names no file");
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    switch (status.type()) {
        case fs::file_type::regular:
            return {};
        case fs::file_type::not_found:
            return configError(file.string(), "no such file");
        case fs::file_type::directory:
            return configError(file.string(), "is a directory, not a configuration file");
        case fs::file_type::none:
            return configError(file.string(), "cannot be examined (" + ec.message() + ")");
        default:
            return configError(file.string(), "is not a regular file");
    }
}

Result<Configuration> Configuration::load(const fs::path& file) {
    Configuration configuration;
    std::error_code ec;
    if (fs::status(file, ec).type() != fs::file_type::not_found) {
        if (Result<void> usable = checkFile(file); !usable.ok()) return usable.error();
        Result<std::string> text = readFile(file);
        if (!text.ok()) return text.error();
        if (Result<void> merged = configuration.mergeJson(*text, file.string()); !merged.ok()) {
            return merged.error();
        }
    }
    if (Result<void> merged = configuration.mergeEnvironment(); !merged.ok()) return merged.error();
    return configuration;
}

Result<void> Configuration::storeValue(const fs::path& file, const std::string& key,
                                       const std::string& value) {
    if (std::optional<std::string> problem = valueProblem(key, value)) {
        return configError(file.string(), *problem);
    }
    JsonValue document = JsonValue::Object();
    std::error_code ec;
    if (fs::status(file, ec).type() != fs::file_type::not_found) {
        if (Result<void> usable = checkFile(file); !usable.ok()) return usable.error();
        Result<std::string> text = readFile(file);
        if (!text.ok()) return text.error();
        // Only a file the program itself would accept is rewritten.
        Configuration check;
        if (Result<void> merged = check.mergeJson(*text, file.string()); !merged.ok()) {
            return merged.error();
        }
        std::string_view body = *text;
        if (body.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
            body.remove_prefix(kUtf8ByteOrderMark.size());
        ZelJSON reader;
        std::optional<JsonValue> parsed = reader.objectWithString(body);
        if (!parsed || !parsed->object()) return configError(file.string(), "is not a JSON object");
        document = std::move(*parsed);
    }
    document.object()->set(key, JsonValue(value));
    ZelJSON writer;
    writer.setHumanReadable(true);
    std::optional<std::string> text = writer.stringWithObject(document);
    if (!text) return configError(file.string(), "cannot be written as JSON");
    text->push_back('\n');
    if (!file.parent_path().empty()) fs::create_directories(file.parent_path(), ec);
    if (ec) {
        return configError(file.parent_path().string(),
                           "the folder cannot be made (" + ec.message() + ")");
    }
    return writeFileAtomically(file, *text);
}

Result<void> Configuration::mergeJson(std::string_view text, const std::string& origin) {
    // Editors on some systems start UTF-8 files with a byte-order mark.
    const std::size_t start = text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark
                                  ? kUtf8ByteOrderMark.size()
                                  : 0;
    text.remove_prefix(start);
    if (const std::size_t valid = validUtf8Length(text); valid != text.size()) {
        return configError(origin, "is not valid UTF-8 (bad byte at offset " +
                                       std::to_string(start + valid) + "); save it as UTF-8");
    }
    ZelJSON json;
    std::optional<JsonValue> parsed = json.objectWithString(text);
    if (!parsed) return configError(origin, "is not valid JSON (" + parseFailure(json) + ")");
    const JsonValue::Object* object = parsed->object();
    if (!object)
        return configError(origin, "must hold one JSON object of \"key\": \"value\" pairs");
    for (const auto& [key, value] : *object) {
        std::string asText;
        if (const JsonString* s = value.string()) {
            asText = *s;
        } else if (const JsonDecimal* n = value.number()) {
            asText = n->stringValue();
        } else if (const bool* b = value.boolean()) {
            asText = *b ? "true" : "false";
        } else {
            return configError(origin, "the value of \"" + key + "\" must be a string");
        }
        if (std::optional<std::string> problem = valueProblem(key, asText)) {
            return configError(origin, *problem);
        }
        m_values[key] = std::move(asText);
    }
    return {};
}

Result<void> Configuration::mergeEnvironment() {
    // Every known key, plus any key the file named.
    std::map<std::string, std::string> keys = defaults();
    for (const auto& [key, value] : m_values) keys[key] = value;
    for (const auto& [key, unused] : keys) {
        const std::string name = environmentName(key);
        const char* env = std::getenv(name.c_str());
        if (!env) continue;
        if (std::optional<std::string> problem = valueProblem(key, env)) {
            return configError("$" + name, *problem);
        }
        m_values[key] = env;
    }
    return {};
}

std::string Configuration::value(const std::string& key) const {
    auto it = m_values.find(key);
    return it == m_values.end() ? std::string() : it->second;
}

bool Configuration::has(const std::string& key) const {
    return !value(key).empty();
}

void Configuration::set(const std::string& key, std::string value) {
    m_values[key] = std::move(value);
}

}  // namespace qp
