#include "app/shared/Configuration.h"

#include <cctype>
#include <cstdlib>

#include "json/JsonValue.h"
#include "json/ZelJSON.h"
#include "platform/Paths.h"

namespace qp {

namespace {

constexpr const char* kConfigErrorDomain = "qp.config";

const std::map<std::string, std::string>& defaults() {
    static const std::map<std::string, std::string> values = {
        {config::kAnalyticsKey, "QUILLPOSTDESKTOP2026"},
        {config::kAnalyticsReportUrl, ""},
        {config::kFeedHost, ""},
        {config::kMoreAppsHost, ""},
        {config::kFacebookAppId, ""},
        {config::kFacebookGraphUrl, "https://graph.facebook.com/"},
        {config::kFacebookRestUrl, "https://api.facebook.com/method/"},
        {config::kFacebookDialogUrl, "https://m.facebook.com/dialog/"},
        {config::kReviewUrl, ""},
        {config::kFeedbackMail, ""},
        {config::kDownloadLink, "https://quillpost.net/get"},
        {config::kPhotoLibrary, ""},
        {config::kAlbumFolder, ""},
    };
    return values;
}

Error configError(const std::string& origin, const std::string& what) {
    return Error(kConfigErrorDomain, 1, {{kLocalizedDescriptionKey, origin + ": " + what}});
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
    return std::filesystem::path(home && *home ? home : "/tmp") / ".config" / "quillpost" / "config.json";
}

Result<Configuration> Configuration::load(const std::filesystem::path& file) {
    Configuration configuration;
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        Result<std::string> text = readFile(file);
        if (!text.ok()) return text.error();
        if (Result<void> merged = configuration.mergeJson(*text, file.string()); !merged.ok()) {
            return merged.error();
        }
    }
    configuration.mergeEnvironment();
    return configuration;
}

Result<void> Configuration::mergeJson(const std::string& text, const std::string& origin) {
    ZelJSON json;
    std::optional<JsonValue> parsed = json.objectWithString(text);
    if (!parsed) {
        const std::string reason = json.errorTrace().empty() ? "not JSON" : json.errorTrace().back().description();
        return configError(origin, "is not valid JSON (" + reason + ")");
    }
    const JsonValue::Object* object = parsed->object();
    if (!object) return configError(origin, "must hold one JSON object of \"key\": \"value\" pairs");
    for (const auto& [key, value] : *object) {
        if (const std::string* s = value.string()) {
            m_values[key] = *s;
        } else if (const JsonDecimal* n = value.number()) {
            m_values[key] = n->stringValue();
        } else if (const bool* b = value.boolean()) {
            m_values[key] = *b ? "true" : "false";
        } else {
            return configError(origin, "the value of \"" + key + "\" must be a string");
        }
    }
    return {};
}

void Configuration::mergeEnvironment() {
    // Every known key, plus any key the file named.
    std::map<std::string, std::string> keys = defaults();
    for (const auto& [key, value] : m_values) keys[key] = value;
    for (const auto& [key, unused] : keys) {
        if (const char* env = std::getenv(environmentName(key).c_str())) m_values[key] = env;
    }
}

std::string Configuration::value(const std::string& key) const {
    auto it = m_values.find(key);
    return it == m_values.end() ? std::string() : it->second;
}

bool Configuration::has(const std::string& key) const { return !value(key).empty(); }

void Configuration::set(const std::string& key, std::string value) { m_values[key] = std::move(value); }

}  // namespace qp
