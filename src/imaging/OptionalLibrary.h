#pragma once
// A shared library opened the first time a photo needs it rather than at
// start: HEIC decoding and colour-profile conversion pull in large libraries
// that most runs never touch. The library stays open for the process's life.

#include <string>

namespace qp {

struct LibraryNeed {
    const char* soname;   // the file the loader looks for, e.g. "libheif.so.1"
    const char* purpose;  // what needs it, as the user would say it: "HEIC photos"
    const char* package;  // the Debian package that installs it
};

class OptionalLibrary {
public:
    explicit OptionalLibrary(const LibraryNeed& need);
    OptionalLibrary(const OptionalLibrary&) = delete;
    OptionalLibrary& operator=(const OptionalLibrary&) = delete;

    // Looks `name` up; a missing function makes the whole library unusable.
    template <typename Function>
    void resolve(Function*& function, const char* name) {
        function = reinterpret_cast<Function*>(address(name));
    }

    bool usable() const { return m_problem.empty(); }
    // Why it cannot be used, and what to install; empty while usable.
    const std::string& problem() const { return m_problem; }

private:
    void* address(const char* name);

    LibraryNeed m_need;
    void* m_handle = nullptr;
    std::string m_problem;
};

// A library's table of functions (a struct of function pointers), filled by
// `resolveAll(library, functions)` when the table is made.
template <typename Functions>
class FunctionTable {
public:
    template <typename ResolveAll>
    FunctionTable(const LibraryNeed& need, ResolveAll resolveAll) : m_library(need) {
        resolveAll(m_library, m_functions);
    }

    // The functions, or null with `problem` (may be null) saying why.
    const Functions* functions(std::string* problem) const {
        if (m_library.usable()) return &m_functions;
        if (problem) *problem = m_library.problem();
        return nullptr;
    }

private:
    OptionalLibrary m_library;
    Functions m_functions;
};

}  // namespace qp
