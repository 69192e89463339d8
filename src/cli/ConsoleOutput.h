#pragma once
// Writing to standard output and standard error without ever throwing or
// aborting: a closed or full standard error loses diagnostics and nothing
// else, while a failed write to standard output (results, paths, the summary)
// is remembered so the command can fail at the end instead of claiming
// success.

#include <cstdio>
#include <string>
#include <string_view>

namespace qp {

// Best effort: whatever cannot be written is dropped.
void writeDiagnostic(std::FILE* stream, std::string_view text);

// Output that the caller relies on, flushed after every write.
class ReliableOutput {
public:
    explicit ReliableOutput(std::FILE* stream) : m_stream(stream) {}
    // False once any write has failed; the first failure's reason is kept.
    bool write(std::string_view bytes);
    bool failed() const { return m_failed; }
    const std::string& failure() const { return m_failure; }

private:
    std::FILE* m_stream;
    bool m_failed = false;
    std::string m_failure;
};

// Makes sure descriptors 0, 1 and 2 are open before any file is: were one
// closed, the next file opened would take its number, and diagnostics could
// end up inside a result. A closed standard input or error becomes /dev/null;
// a closed standard output is held by /dev/null opened read-only, so writes
// to it still fail as they should.
void reserveStandardStreams();

}  // namespace qp
