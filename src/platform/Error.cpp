#include "platform/Error.h"

namespace qp {

Error::Error(std::string domain, int code, Details details)
    : m_domain(std::move(domain)), m_code(code), m_details(std::move(details)) {}

Error::Error(std::string domain, int code, Details details, Error underlying)
    : m_domain(std::move(domain)),
      m_code(code),
      m_details(std::move(details)),
      m_underlying(std::make_shared<const Error>(std::move(underlying))) {}

std::string Error::description() const {
    return detail(kLocalizedDescriptionKey).value_or(std::string());
}

std::optional<std::string> Error::detail(const std::string& key) const {
    auto it = m_details.find(key);
    if (it == m_details.end()) return std::nullopt;
    return it->second;
}

void Error::setDetail(const std::string& key, std::string value) {
    m_details[key] = std::move(value);
}

std::string Error::toString() const {
    std::string text = m_domain + " " + std::to_string(m_code);
    const std::string text2 = description();
    if (!text2.empty()) text += ": " + text2;
    if (m_underlying) text += " (caused by " + m_underlying->toString() + ")";
    return text;
}

bool operator==(const Error& a, const Error& b) {
    if (a.m_domain != b.m_domain || a.m_code != b.m_code || a.m_details != b.m_details)
        return false;
    if (!a.m_underlying || !b.m_underlying) return a.m_underlying == b.m_underlying;
    return *a.m_underlying == *b.m_underlying;
}

}  // namespace qp
