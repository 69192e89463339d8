// Parse and write throughput of the JSON codec next to two peer libraries
// (peers only here, never in Quillpost). RapidJSON reads numbers as strings,
// its closest mode to exact decimals.

#include <benchmark/benchmark.h>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "JsonDocuments.h"
#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"
#include "platform/MemoryTuning.h"

namespace {

using DocumentMaker = std::string (*)();

const std::string& document(DocumentMaker make) {
    static std::map<DocumentMaker, std::string> cache;
    auto it = cache.find(make);
    if (it == cache.end()) it = cache.emplace(make, make()).first;
    return it->second;
}

void setThroughput(benchmark::State& state, const std::string& text) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void parseQuillpost(benchmark::State& state, DocumentMaker make) {
    const std::string& text = document(make);
    qp::ZelJsonParser parser;
    for (auto _ : state) {
        auto value = parser.objectWithString(text);
        if (!value) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(value);
    }
    setThroughput(state, text);
}

void writeQuillpost(benchmark::State& state, DocumentMaker make) {
    const std::string& text = document(make);
    qp::ZelJsonParser parser;
    const auto value = parser.objectWithString(text);
    if (!value) std::abort();
    qp::ZelJsonWriter writer;
    for (auto _ : state) {
        auto written = writer.stringWithObject(*value);
        benchmark::DoNotOptimize(written);
    }
    setThroughput(state, text);
}

void parseNlohmann(benchmark::State& state, DocumentMaker make) {
    const std::string& text = document(make);
    for (auto _ : state) {
        auto value = nlohmann::json::parse(text);
        benchmark::DoNotOptimize(value);
    }
    setThroughput(state, text);
}

void writeNlohmann(benchmark::State& state, DocumentMaker make) {
    const std::string& text = document(make);
    const auto value = nlohmann::json::parse(text);
    for (auto _ : state) {
        auto written = value.dump();
        benchmark::DoNotOptimize(written);
    }
    setThroughput(state, text);
}

void parseRapidJson(benchmark::State& state, DocumentMaker make) {
    const std::string& text = document(make);
    for (auto _ : state) {
        rapidjson::Document value;
        value.Parse<rapidjson::kParseNumbersAsStringsFlag>(text.data(), text.size());
        if (value.HasParseError()) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(value);
    }
    setThroughput(state, text);
}

void writeRapidJson(benchmark::State& state, DocumentMaker make) {
    const std::string& text = document(make);
    rapidjson::Document value;
    value.Parse<rapidjson::kParseNumbersAsStringsFlag>(text.data(), text.size());
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        value.Accept(writer);
        benchmark::DoNotOptimize(buffer.GetString());
    }
    setThroughput(state, text);
}

}  // namespace

int main(int argc, char** argv) {
    // The allocator as the app sets it up, for every library alike.
    qp::tuneAllocatorForReuse();
    const std::pair<const char*, DocumentMaker> documents[] = {
        {"strings", qp::bench::stringHeavyDocument},
        {"numbers", qp::bench::numberHeavyDocument},
        {"nested", qp::bench::deeplyNestedDocument},
        {"api", qp::bench::apiAnswerDocument},
    };
    const std::pair<const char*, void (*)(benchmark::State&, DocumentMaker)> runs[] = {
        {"Parse/Quillpost", parseQuillpost}, {"Parse/nlohmann", parseNlohmann},
        {"Parse/RapidJSON", parseRapidJson}, {"Write/Quillpost", writeQuillpost},
        {"Write/nlohmann", writeNlohmann},   {"Write/RapidJSON", writeRapidJson},
    };
    for (const auto& [docName, make] : documents) {
        for (const auto& [runName, run] : runs) {
            benchmark::RegisterBenchmark((std::string(runName) + "/" + docName).c_str(), run, make)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
