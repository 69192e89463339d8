#include "imaging/OptionalLibrary.h"

#include <dlfcn.h>

namespace qp {
namespace {

std::string unusable(const LibraryNeed& need, const std::string& detail) {
    return std::string(need.purpose) + " need " + need.package + " (" + detail +
           "); install it with: sudo apt-get install " + need.package;
}

std::string loaderMessage() {
    const char* text = dlerror();
    return text ? text : "the loader gave no reason";
}

}  // namespace

OptionalLibrary::OptionalLibrary(const LibraryNeed& need) : m_need(need) {
    m_handle = dlopen(need.soname, RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) m_problem = unusable(need, loaderMessage());
}

void* OptionalLibrary::address(const char* name) {
    if (!m_handle) return nullptr;
    dlerror();
    void* found = dlsym(m_handle, name);
    if (!found && m_problem.empty()) {
        m_problem = unusable(m_need, std::string(m_need.soname) + " has no " + name +
                                         ": it is older than Quillpost was built for");
    }
    return found;
}

}  // namespace qp
