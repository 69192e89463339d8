// qp-json: checks a JSON file (or standard input) with Quillpost's codec and
// prints it back in the codec's own written form, or prints why it is not
// JSON. Exit status: 0 valid, 1 not valid JSON, 2 usage or I/O error.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"

namespace {

constexpr int kExitValid = 0;
constexpr int kExitInvalid = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: qp-json [--fragment] [--pretty] [--sort-keys] [FILE | -]\n"
    "  Reads JSON from FILE or standard input and writes it back.\n"
    "  --fragment   accept any value at top level, not only a map or a list\n"
    "  --pretty     write the human-readable form\n"
    "  --sort-keys  write map keys in ascending order\n"
    "Exit status: 0 valid, 1 not valid JSON, 2 usage or I/O error.\n";

struct Options {
    bool fragment = false;
    bool pretty = false;
    bool sortKeys = false;
    std::string path = "-";
};

bool readAll(std::istream& in, std::string& out) {
    std::ostringstream buffer;
    buffer << in.rdbuf();
    out = std::move(buffer).str();
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool havePath = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--fragment") {
            options.fragment = true;
        } else if (arg == "--pretty") {
            options.pretty = true;
        } else if (arg == "--sort-keys") {
            options.sortKeys = true;
        } else if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return kExitValid;
        } else if ((arg.size() > 1 && arg[0] == '-') || havePath) {
            std::cerr << "qp-json: unexpected argument '" << arg << "'\n" << kUsage;
            return kExitUsage;
        } else {
            options.path = std::string(arg);
            havePath = true;
        }
    }

    std::string text;
    if (options.path == "-") {
        if (!readAll(std::cin, text)) {
            std::cerr << "qp-json: cannot read standard input\n";
            return kExitUsage;
        }
    } else {
        std::ifstream file(options.path, std::ios::binary);
        if (!file || !readAll(file, text)) {
            std::cerr << "qp-json: cannot read '" << options.path << "'\n";
            return kExitUsage;
        }
    }

    qp::ZelJsonParser parser;
    const auto value =
        options.fragment ? parser.fragmentWithString(text) : parser.objectWithString(text);
    if (!value) {
        for (const qp::Error& record : parser.errorTrace()) {
            std::cerr << "error " << record.code() << ": " << record.description() << '\n';
        }
        return kExitInvalid;
    }

    qp::ZelJsonWriter writer;
    writer.setHumanReadable(options.pretty);
    writer.setSortKeys(options.sortKeys);
    const auto written = writer.stringWithFragment(*value);
    if (!written) {
        for (const qp::Error& record : writer.errorTrace()) {
            std::cerr << "error " << record.code() << ": " << record.description() << '\n';
        }
        return kExitInvalid;
    }
    std::cout << *written << '\n';
    return std::cout.flush() ? kExitValid : kExitUsage;
}
