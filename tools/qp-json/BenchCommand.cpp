#include "BenchCommand.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>

#include "DocumentFile.h"
#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"

namespace qp::tools {
namespace {

constexpr int kExitInvalid = 1;
constexpr int kExitUnreadable = 2;

// Seconds of processor time this thread has used: on a shared machine, time
// spent waiting for a core is not counted.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Value>
void keep(const Value& value) {
    asm volatile("" : : "r"(&value) : "memory");
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Megabytes (10^6 bytes) of `bytes` per second of `run`, median over `runs`.
template <typename Run>
double medianThroughput(std::size_t bytes, int runs, Run&& run) {
    std::vector<double> rates;
    rates.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const double start = threadSeconds();
        run();
        const double seconds = threadSeconds() - start;
        rates.push_back(static_cast<double>(bytes) / std::max(seconds, 1e-9) / 1e6);
    }
    return median(std::move(rates));
}

}  // namespace

int runBench(const std::vector<std::string>& paths, int runs, std::ostream& out,
             std::ostream& errors) {
    int status = 0;
    for (const std::string& path : paths) {
        std::string problem;
        const std::optional<std::string> text = readDocumentFile(path, problem);
        if (!text) {
            errors << "qp-json: " << problem << '\n';
            status = kExitUnreadable;
            continue;
        }
        ZelJsonParser parser;
        const std::optional<JsonValue> value = parser.fragmentWithString(*text);
        if (!value) {
            errors << "qp-json: '" << path
                   << "' is not JSON: " << describeErrorTrace(parser.errorTrace()) << '\n';
            status = std::max(status, kExitInvalid);
            continue;
        }
        const double parse =
            medianThroughput(text->size(), runs, [&] { keep(parser.fragmentWithString(*text)); });
        ZelJsonWriter writer;
        const double write =
            medianThroughput(text->size(), runs, [&] { keep(writer.stringWithFragment(*value)); });
        char figures[96];
        std::snprintf(figures, sizeof figures, " parse %.1f MB/s write %.1f MB/s", parse, write);
        out << path << figures << '\n';
    }
    return status;
}

}  // namespace qp::tools
