// qp-json: checks a JSON file (or standard input) with Quillpost's codec and
// prints it back in the codec's own written form, or prints why it is not
// JSON; with --bench, times the codec on files instead. Exit status: 0 valid,
// 1 not valid JSON, 2 usage or I/O error.

#include <charconv>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "BenchCommand.h"
#include "DocumentFile.h"
#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"

namespace {

constexpr int kExitValid = 0;
constexpr int kExitInvalid = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: qp-json [--fragment] [--pretty] [--sort-keys] [FILE | -]\n"
    "       qp-json --bench [--runs N] FILE...\n"
    "  Reads JSON from FILE or standard input and writes it back.\n"
    "  --fragment   accept any value at top level, not only a map or a list\n"
    "  --pretty     write the human-readable form\n"
    "  --sort-keys  write map keys in ascending order\n"
    "  --bench      print each FILE's median parse and write speed in MB/s\n"
    "  --runs N     timed runs per file and direction for --bench (default 15)\n"
    "Exit status: 0 valid, 1 not valid JSON, 2 usage or I/O error.\n";

constexpr int kDefaultBenchRuns = 15;

struct Options {
    bool bench = false;
    int runs = kDefaultBenchRuns;
    bool fragment = false;
    bool pretty = false;
    bool sortKeys = false;
    std::vector<std::string> paths;
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
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--fragment") {
            options.fragment = true;
        } else if (arg == "--pretty") {
            options.pretty = true;
        } else if (arg == "--sort-keys") {
            options.sortKeys = true;
        } else if (arg == "--bench") {
            options.bench = true;
        } else if (arg == "--runs") {
            const std::string_view count = i + 1 < argc ? argv[++i] : "";
            int runs = 0;
            const auto [end, error] =
                std::from_chars(count.data(), count.data() + count.size(), runs);
            if (error != std::errc() || end != count.data() + count.size() || runs < 1) {
                std::cerr << "qp-json: --runs wants a whole number of at least 1, not '" << count
                          << "'\n";
                return kExitUsage;
            }
            options.runs = runs;
        } else if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return kExitValid;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "qp-json: unexpected argument '" << arg << "'\n" << kUsage;
            return kExitUsage;
        } else {
            options.paths.emplace_back(arg);
        }
    }

    if (options.bench) {
        if (options.paths.empty()) {
            std::cerr << "qp-json: --bench wants at least one FILE\n" << kUsage;
            return kExitUsage;
        }
        return qp::tools::runBench(options.paths, options.runs, std::cout, std::cerr);
    }
    if (options.paths.size() > 1) {
        std::cerr << "qp-json: unexpected argument '" << options.paths[1] << "'\n" << kUsage;
        return kExitUsage;
    }
    const std::string path = options.paths.empty() ? "-" : options.paths.front();

    std::string text;
    if (path == "-") {
        if (!readAll(std::cin, text)) {
            std::cerr << "qp-json: cannot read standard input\n";
            return kExitUsage;
        }
    } else {
        std::string problem;
        std::optional<std::string> read = qp::readDocumentFile(path, problem);
        if (!read) {
            std::cerr << "qp-json: " << problem << '\n';
            return kExitUsage;
        }
        text = std::move(*read);
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
