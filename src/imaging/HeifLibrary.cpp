#include "imaging/HeifLibrary.h"

#include "imaging/OptionalLibrary.h"

namespace qp {

const HeifFunctions* heifFunctions(std::string* problem) {
    static const FunctionTable<HeifFunctions> table(
        {QP_LIBHEIF_SONAME, "HEIC photos", "libheif1"},
        [](OptionalLibrary& library, HeifFunctions& functions) {
#define QP_HEIF_RESOLVE(name) library.resolve(functions.name, #name);
            QP_HEIF_FUNCTIONS(QP_HEIF_RESOLVE)
#undef QP_HEIF_RESOLVE
        });
    return table.functions(problem);
}

}  // namespace qp
