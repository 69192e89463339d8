// A library opened on first use: when it is missing or lacks a function the
// user is told what needs it and what to install, and nothing is called
// through a null pointer.

#include <gtest/gtest.h>

#include <string>

#include "imaging/HeifLibrary.h"
#include "imaging/LittleCmsLibrary.h"
#include "imaging/OptionalLibrary.h"

namespace qp {
namespace {

struct ZlibFunctions {
    const char* (*zlibVersion)() = nullptr;
    int (*missing)() = nullptr;
};

TEST(OptionalLibrary, SaysWhatNeedsItAndWhatToInstallWhenItCannotBeUsed) {
    struct Case {
        const char* name;
        const char* soname;
        const char* function;
        std::string expected;  // in the problem
    };
    const Case cases[] = {
        {"not installed", "libquillpost-absent.so.7", "zlibVersion", "libquillpost-absent.so.7"},
        {"too old", "libz.so.1", "quillpost_absent_function", "quillpost_absent_function"},
    };
    for (const Case& c : cases) {
        OptionalLibrary library({c.soname, "Frobbed photos", "libfrob9"});
        ZlibFunctions functions;
        library.resolve(functions.missing, c.function);
        EXPECT_FALSE(library.usable()) << c.name;
        EXPECT_EQ(functions.missing, nullptr) << c.name;
        const std::string& problem = library.problem();
        EXPECT_EQ(problem.rfind("Frobbed photos need libfrob9 (", 0), 0u)
            << c.name << ": " << problem;
        EXPECT_NE(problem.find(c.expected), std::string::npos) << c.name << ": " << problem;
        EXPECT_NE(problem.find("sudo apt-get install libfrob9"), std::string::npos) << problem;
    }
}

TEST(OptionalLibrary, ATableIsUsableOnlyWhenEveryFunctionWasFound) {
    const FunctionTable<ZlibFunctions> whole(
        {"libz.so.1", "Squeezed photos", "zlib1g"},
        [](OptionalLibrary& library, ZlibFunctions& functions) {
            library.resolve(functions.zlibVersion, "zlibVersion");
        });
    std::string problem;
    const ZlibFunctions* found = whole.functions(&problem);
    ASSERT_NE(found, nullptr) << problem;
    EXPECT_EQ(std::string(found->zlibVersion()).substr(0, 1), "1");

    const FunctionTable<ZlibFunctions> partial(
        {"libz.so.1", "Squeezed photos", "zlib1g"},
        [](OptionalLibrary& library, ZlibFunctions& functions) {
            library.resolve(functions.zlibVersion, "zlibVersion");
            library.resolve(functions.missing, "quillpost_absent_function");
        });
    EXPECT_EQ(partial.functions(&problem), nullptr);
    EXPECT_NE(problem.find("quillpost_absent_function"), std::string::npos) << problem;
    EXPECT_EQ(partial.functions(nullptr), nullptr);  // no problem asked for: still safe
}

TEST(OptionalLibrary, TheInstalledHeifAndColourLibrariesLoadWhole) {
    std::string problem;
    EXPECT_NE(heifFunctions(&problem), nullptr) << problem;
    EXPECT_NE(littleCmsFunctions(&problem), nullptr) << problem;
}

}  // namespace
}  // namespace qp
