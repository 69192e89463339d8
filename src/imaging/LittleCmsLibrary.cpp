#include "imaging/LittleCmsLibrary.h"

#include "imaging/OptionalLibrary.h"

namespace qp {

const LittleCmsFunctions* littleCmsFunctions(std::string* problem) {
    static const FunctionTable<LittleCmsFunctions> table(
        {QP_LCMS2_SONAME, "photos with a colour profile", "liblcms2-2"},
        [](OptionalLibrary& library, LittleCmsFunctions& functions) {
#define QP_LITTLE_CMS_RESOLVE(name) library.resolve(functions.name, #name);
            QP_LITTLE_CMS_FUNCTIONS(QP_LITTLE_CMS_RESOLVE)
#undef QP_LITTLE_CMS_RESOLVE
        });
    return table.functions(problem);
}

}  // namespace qp
