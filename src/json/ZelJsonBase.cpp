#include "json/ZelJsonBase.h"

#include <algorithm>

#include "json/JsonErrors.h"

namespace qp {

void ZelJsonBase::addErrorWithCodeDescription(int code, std::string description) {
    Error::Details details{{kLocalizedDescriptionKey, std::move(description)}};
    if (m_errorTrace.empty()) {
        m_errorTrace.emplace_back(kJsonErrorDomain, code, std::move(details));
    } else {
        Error record(kJsonErrorDomain, code, std::move(details), m_errorTrace.back());
        m_errorTrace.push_back(std::move(record));
    }
}

bool ZelJsonBase::fail(int code, const char* text) {
    addErrorWithCodeDescription(code, text);
    return false;
}

bool ZelJsonBase::fail(int code, const char* text, std::string_view argument) {
    addErrorWithCodeDescription(code, fillJsonErrorText(text, argument));
    return false;
}

bool ZelJsonBase::fail(int code, const char* text, unsigned argument) {
    addErrorWithCodeDescription(code, fillJsonErrorText(text, argument));
    return false;
}

void ZelJsonBase::startRun() {
    clearErrorTrace();
    m_depth = 0;
    const unsigned limit = maxDepth();
    m_runLimit = limit == 0 ? kDepthCeiling : std::min(limit, kDepthCeiling);
}

bool ZelJsonBase::enterLevel() {
    if (++m_depth > m_runLimit) return fail(kJsonErrorDepth, kTextNestedTooDeep);
    return true;
}

std::string describeErrorTrace(const std::vector<Error>& trace) {
    std::string text = "(";
    for (std::size_t i = 0; i < trace.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(trace[i].code());
        text += " \"";
        text += trace[i].description();
        text += '"';
    }
    text += ')';
    return text;
}

}  // namespace qp
