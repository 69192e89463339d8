#pragma once
// The progress bar `quillpost compose` draws on a terminal while it works
// through several photos: one line, redrawn in place.

#include <cstdio>
#include <string>

namespace qp {

class ComposeProgress {
public:
    // Draws only when `enabled` (a terminal and more than one photo).
    ComposeProgress(std::FILE* stream, int total, bool enabled);
    // Shows that `done` photos are finished and `name` (already printable) is next.
    void update(int done, const std::string& name);
    // Clears the line before a message is written, or at the end.
    void clear();

private:
    std::FILE* m_stream;
    int m_total;
    bool m_enabled;
    bool m_drawn = false;
};

}  // namespace qp
