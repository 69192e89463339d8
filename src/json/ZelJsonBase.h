#pragma once
// What the reader, the writer and their facade share: the error trace of the
// last run, the nesting limit and the current nesting level.

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Error.h"

namespace qp {

class ZelJsonBase {
public:
    static constexpr unsigned kDefaultMaxDepth = 512;
    // Nesting is never followed beyond this level, even with the limit off
    // (maxDepth 0), so that no input can exhaust the stack.
    static constexpr unsigned kDepthCeiling = 4096;

    ZelJsonBase() = default;
    ZelJsonBase(const ZelJsonBase&) = delete;
    ZelJsonBase& operator=(const ZelJsonBase&) = delete;
    virtual ~ZelJsonBase() = default;

    // The errors of the last failed run, innermost first; each record chains
    // to the one before it as its underlying error. Empty when there are none.
    const std::vector<Error>& errorTrace() const { return m_errorTrace; }
    void clearErrorTrace() { m_errorTrace.clear(); }
    void addErrorWithCodeDescription(int code, std::string description);

    // 0 turns the limit off (up to kDepthCeiling).
    virtual unsigned maxDepth() const { return m_maxDepth.load(std::memory_order_relaxed); }
    virtual void setMaxDepth(unsigned maxDepth) {
        m_maxDepth.store(maxDepth, std::memory_order_relaxed);
    }
    unsigned depth() const { return m_depth; }

protected:
    void startRun();
    // Raises the level by one; false (with a code 7 record) when too deep.
    bool enterLevel();
    void leaveLevel() { --m_depth; }
    void setErrorTrace(std::vector<Error> trace) { m_errorTrace = std::move(trace); }
    // Adds a record and answers false. Kept out of line so that the
    // recursive reader and writer frames stay small.
    [[gnu::noinline]] bool fail(int code, const char* text);
    [[gnu::noinline]] bool fail(int code, const char* text, std::string_view argument);
    [[gnu::noinline]] bool fail(int code, const char* text, unsigned argument);

private:
    std::vector<Error> m_errorTrace;
    std::atomic<unsigned> m_maxDepth{kDefaultMaxDepth};
    unsigned m_depth = 0;
    unsigned m_runLimit = kDepthCeiling;
};

// "(code "text", …)" for log lines.
std::string describeErrorTrace(const std::vector<Error>& trace);

}  // namespace qp
