#pragma once
// An error that travels between modules: a domain, an integer code, a map of
// details and, optionally, the error that caused it.

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace qp {

// The details key whose value is the human-readable description.
inline constexpr const char* kLocalizedDescriptionKey = "NSLocalizedDescription";

class Error {
public:
    using Details = std::map<std::string, std::string>;

    Error() = default;
    Error(std::string domain, int code, Details details = {});
    Error(std::string domain, int code, Details details, Error underlying);

    const std::string& domain() const { return m_domain; }
    int code() const { return m_code; }
    const Details& details() const { return m_details; }

    // The value of kLocalizedDescriptionKey, or an empty string.
    std::string description() const;
    // The value under `key`, if present.
    std::optional<std::string> detail(const std::string& key) const;
    void setDetail(const std::string& key, std::string value);

    // The error this one wraps, or nullptr.
    const Error* underlying() const { return m_underlying.get(); }

    // "domain code: description", then the underlying chain, for logs.
    std::string toString() const;

    friend bool operator==(const Error& a, const Error& b);

private:
    std::string m_domain;
    int m_code = 0;
    Details m_details;
    std::shared_ptr<const Error> m_underlying;
};

}  // namespace qp
