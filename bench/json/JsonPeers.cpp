// Parse and write throughput of the JSON codec on real documents, side by
// side with the peer libraries (linked here only, to measure against):
// RapidJSON with numbers as doubles and with numbers kept as strings (the
// fair peer for exact decimals), nlohmann/json and simdjson. Every round runs
// each contender once, in turn, so load on the machine falls on all alike;
// the figures are medians over the rounds, timed in the thread's processor time.
//
//   qp_json_peers [--runs N] FILE...

#include <malloc.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <simdjson.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/JsonArena.h"
#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"

namespace {

// Each sample repeats its work until it has taken this long.
constexpr double kSampleSeconds = 0.05;

struct Contender {
    Contender(std::string name, std::function<void()> run)
        : name(std::move(name)), run(std::move(run)) {}
    std::string name;
    std::function<void()> run;
    std::vector<double> megabytesPerSecond;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Seconds of processor time this thread has used: on a shared machine, time
// spent waiting for a core is not counted against anyone.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double sample(const std::function<void()>& run, std::size_t bytes) {
    const double start = threadSeconds();
    std::size_t repeats = 0;
    double seconds = 0;
    do {
        run();
        ++repeats;
        seconds = threadSeconds() - start;
    } while (seconds < kSampleSeconds);
    return static_cast<double>(bytes * repeats) / seconds / 1e6;
}

std::optional<std::string> readFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) return std::nullopt;
    return text;
}

std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

template <typename Value>
void keep(const Value& value) {
    asm volatile("" : : "r"(&value) : "memory");
}

// Parse contenders: each reads the whole text into its own tree and drops it.
std::vector<Contender> parsers(const std::string& text) {
    auto simdParser = std::make_shared<simdjson::dom::parser>();
    auto padded = std::make_shared<simdjson::padded_string>(text);
    return {
        {"Quillpost",
         [&text] {
             qp::ZelJsonParser parser;
             auto value = parser.objectWithString(text);
             if (!value) std::abort();
             keep(value);
         }},
        {"RapidJSON (numbers as strings)",
         [&text] {
             rapidjson::Document document;
             document.Parse<rapidjson::kParseNumbersAsStringsFlag>(text.data(), text.size());
             if (document.HasParseError()) std::abort();
             keep(document);
         }},
        {"RapidJSON",
         [&text] {
             rapidjson::Document document;
             document.Parse(text.data(), text.size());
             if (document.HasParseError()) std::abort();
             keep(document);
         }},
        {"nlohmann",
         [&text] {
             auto document = nlohmann::json::parse(text);
             keep(document);
         }},
        {"simdjson",
         [simdParser, padded] {
             simdjson::dom::element document;
             if (simdParser->parse(*padded).get(document) != simdjson::SUCCESS) std::abort();
             keep(document);
         }},
    };
}

// Write contenders: each writes its own tree of the text, compact.
std::vector<Contender> writers(const std::string& text) {
    qp::ZelJsonParser parser;
    auto ours = std::make_shared<qp::JsonValue>(std::move(*parser.objectWithString(text)));
    auto rapid = std::make_shared<rapidjson::Document>();
    rapid->Parse(text.data(), text.size());
    auto rapidStrings = std::make_shared<rapidjson::Document>();
    rapidStrings->Parse<rapidjson::kParseNumbersAsStringsFlag>(text.data(), text.size());
    auto lohmann = std::make_shared<nlohmann::json>(nlohmann::json::parse(text));
    auto simdParser = std::make_shared<simdjson::dom::parser>();
    auto padded = std::make_shared<simdjson::padded_string>(text);
    auto simd = std::make_shared<simdjson::dom::element>();
    if (simdParser->parse(*padded).get(*simd) != simdjson::SUCCESS) std::abort();
    auto writeRapid = [](const rapidjson::Document& document) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        document.Accept(writer);
        keep(buffer);
    };
    return {
        {"Quillpost",
         [ours] {
             qp::ZelJsonWriter writer;
             auto written = writer.stringWithObject(*ours);
             if (!written) std::abort();
             keep(written);
         }},
        {"RapidJSON (numbers as strings)",
         [rapidStrings, writeRapid] { writeRapid(*rapidStrings); }},
        {"RapidJSON", [rapid, writeRapid] { writeRapid(*rapid); }},
        {"nlohmann",
         [lohmann] {
             auto written = lohmann->dump();
             keep(written);
         }},
        {"simdjson",
         [simdParser, simd] {
             auto written = simdjson::minify(*simd);
             keep(written);
         }},
    };
}

void measure(std::vector<Contender>& contenders, std::size_t bytes, int runs) {
    for (int round = 0; round < runs; ++round) {
        // Start each round with another contender, so none is always first.
        for (std::size_t i = 0; i < contenders.size(); ++i) {
            Contender& contender =
                contenders[(i + static_cast<std::size_t>(round)) % contenders.size()];
            contender.megabytesPerSecond.push_back(sample(contender.run, bytes));
        }
    }
}

// Bytes the codec's tree of the text takes on the heap (its blocks taken
// fresh, not from those kept by earlier trees).
std::size_t treeBytes(const std::string& text) {
    qp::ZelJsonParser parser;
    qp::JsonArena::releaseCachedBlocks();
    const std::size_t before = heapInUse();
    auto value = parser.objectWithString(text);
    const std::size_t after = heapInUse();
    keep(value);
    return after - before;
}

}  // namespace

int main(int argc, char** argv) {
    // The C library's allocator as it comes, as for qp-json: with the app's
    // tuning every block past 128 KiB is mapped afresh, and on this kind of
    // virtual machine the page faults of the growing output text then weigh
    // more than any library's own work.
    int runs = 15;
    std::vector<const char*> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.empty()) {
        std::fprintf(stderr, "usage: qp_json_peers [--runs N] FILE...\n");
        return 2;
    }
    std::printf("median MB/s (thread processor time) over %d rounds; load average before: %s\n",
                runs, loadAverage().c_str());
    for (const char* path : paths) {
        const std::optional<std::string> text = readFile(path);
        if (!text) {
            std::fprintf(stderr, "qp_json_peers: cannot read '%s'\n", path);
            return 2;
        }
        std::vector<Contender> parse = parsers(*text);
        std::vector<Contender> write = writers(*text);
        measure(parse, text->size(), runs);
        measure(write, text->size(), runs);
        const std::size_t tree = treeBytes(*text);
        std::printf("\n%s (%zu bytes; Quillpost's tree %zu bytes, %.2fx)\n", path, text->size(),
                    tree, static_cast<double>(tree) / static_cast<double>(text->size()));
        std::printf("  %-32s %8s %8s\n", "", "parse", "write");
        for (std::size_t i = 0; i < parse.size(); ++i) {
            std::printf("  %-32s %8.0f %8.0f\n", parse[i].name.c_str(),
                        median(parse[i].megabytesPerSecond), median(write[i].megabytesPerSecond));
        }
    }
    std::printf("\nload average after: %s\n", loadAverage().c_str());
    return 0;
}
