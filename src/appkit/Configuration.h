#pragma once
// The program's configuration: hosts, keys, identifiers and folders, read from
// $XDG_CONFIG_HOME/quillpost/config.json, each value overridable by the
// environment variable QUILLPOST_<KEY> (the key upper-cased).

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace qp {

// The keys the program reads. Defaults never reach the network on their own.
namespace config {
inline constexpr const char* kAnalyticsKey = "analytics_key";  // 20 capital letters and digits
inline constexpr const char* kAnalyticsReportUrl =
    "analytics_report_url";                                     // empty: reports are kept
inline constexpr const char* kFeedHost = "feed_host";           // theme-of-the-day server
inline constexpr const char* kMoreAppsHost = "more_apps_host";  // the more-apps page's server
inline constexpr const char* kFacebookGraphUrl = "facebook_graph_url";
inline constexpr const char* kFacebookRestUrl = "facebook_rest_url";
inline constexpr const char* kFacebookDialogUrl = "facebook_dialog_url";
// The site whose cookies a logout from the social network clears.
inline constexpr const char* kFacebookLoginSite = "facebook_login_site";
// The store's web host and the product's decimal identifier there, which
// make the review page's address.
inline constexpr const char* kStoreHost = "store_host";
inline constexpr const char* kStoreId = "store_id";
inline constexpr const char* kFeedbackMail = "feedback_mail";  // where feedback mail goes
inline constexpr const char* kDownloadLink = "download_link";
inline constexpr const char* kPhotoLibrary = "photo_library";  // folder the picker browses
inline constexpr const char* kAlbumFolder = "album_folder";    // folder "save" writes to
// "false": no usage is recorded or sent, and the sessions kept are deleted.
inline constexpr const char* kAnalyticsEnabled = "analytics_enabled";
// Direct mail delivery: the SMTP server (smtp://host:port; empty: the desktop's
// mail client), its login, and a file holding the password (readable by its
// owner only; QUILLPOST_SMTP_PASSWORD wins over it).
inline constexpr const char* kSmtpUrl = "smtp_url";
inline constexpr const char* kSmtpUser = "smtp_user";
inline constexpr const char* kSmtpPasswordFile = "smtp_password_file";
}  // namespace config

class Configuration {
public:
    // The built-in defaults only.
    Configuration();

    // Defaults, then the file's values, then the environment's. A missing file
    // is fine; a file that is not a JSON object of strings, or a value of the
    // wrong form, is an error that names the file (or variable) and what is
    // wrong.
    static Result<Configuration> load(const std::filesystem::path& file);
    // Why `file` cannot serve as the configuration file (missing, a directory,
    // not a regular file), for a file the user named.
    static Result<void> checkFile(const std::filesystem::path& file);
    // Saves `key` as `value` in `file` for later runs, keeping every other
    // value the file holds; the file is made when missing. A file that
    // cannot be read as a configuration is left as it is and reported.
    static Result<void> storeValue(const std::filesystem::path& file, const std::string& key,
                                   const std::string& value);
    // $XDG_CONFIG_HOME/quillpost/config.json (or ~/.config/quillpost/config.json).
    static std::filesystem::path defaultFile();
    // "QUILLPOST_" + the key upper-cased.
    static std::string environmentName(const std::string& key);

    // Reads values from UTF-8 JSON text (a leading byte-order mark is
    // skipped): an object whose values are strings (numbers and booleans are
    // taken as their text).
    Result<void> mergeJson(std::string_view text, const std::string& origin);
    Result<void> mergeEnvironment();

    std::string value(const std::string& key) const;
    bool has(const std::string& key) const;
    void set(const std::string& key, std::string value);
    const std::map<std::string, std::string>& values() const { return m_values; }

private:
    std::map<std::string, std::string> m_values;
};

}  // namespace qp
