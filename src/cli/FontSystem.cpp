#include "cli/FontSystem.h"

#include <cstdlib>

#include "platform/RuntimeFolder.h"

namespace qp {

std::unique_ptr<QGuiApplication> makeFontSystem() {
    if (QCoreApplication::instance()) return nullptr;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    providePrivateRuntimeFolder();
    static int argc = 1;
    static char name[] = "quillpost";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace qp
