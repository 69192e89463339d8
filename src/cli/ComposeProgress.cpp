#include "cli/ComposeProgress.h"

#include <fmt/format.h>

#include "cli/ConsoleOutput.h"
#include "cli/TerminalText.h"

namespace qp {
namespace {
constexpr int kBarWidth = 30;
constexpr std::size_t kLongestName = 40;
}  // namespace

ComposeProgress::ComposeProgress(std::FILE* stream, int total, bool enabled)
    : m_stream(stream), m_total(total), m_enabled(enabled && total > 1) {}

void ComposeProgress::update(int done, const std::string& name) {
    if (!m_enabled) return;
    const int filled = m_total > 0 ? done * kBarWidth / m_total : kBarWidth;
    writeDiagnostic(m_stream,
                    fmt::format("\r\033[K[{}{}] {}/{} {}", std::string(std::size_t(filled), '#'),
                                std::string(std::size_t(kBarWidth - filled), '.'), done, m_total,
                                tailWithin(name, kLongestName)));
    m_drawn = true;
}

void ComposeProgress::clear() {
    if (!m_drawn) return;
    writeDiagnostic(m_stream, "\r\033[K");
    m_drawn = false;
}

}  // namespace qp
