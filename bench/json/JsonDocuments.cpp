#include "JsonDocuments.h"

#include <cstdint>
#include <random>

#include <fmt/format.h>

namespace qp::bench {
namespace {

constexpr std::size_t kTargetSize = 4 * 1024 * 1024;

const char* const kWords[] = {
    "photo",      "square",   "theme",          "caption",      "posted", "whole",
    "uncropped",  "friends",  "likes",          "evening",      "café",   "naïve",
    "sunset",     "beach",    "\\\"quoted\\\"", "line\\nbreak", "日本",   "emoji \\ud83d\\ude00",
    "tab\\there", "path\\/to"};

std::string sentence(std::mt19937& random, int words) {
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kWords) - 1);
    std::string text;
    for (int i = 0; i < words; ++i) {
        if (i > 0) text += ' ';
        text += kWords[pick(random)];
    }
    return text;
}

}  // namespace

std::string stringHeavyDocument() {
    std::mt19937 random(1);
    std::uniform_int_distribution<int> length(3, 60);
    std::string out = "[";
    for (int i = 0; out.size() < kTargetSize; ++i) {
        if (i > 0) out += ',';
        out +=
            fmt::format(R"({{"title":"{}","body":"{}","tags":["{}","{}"]}})", sentence(random, 4),
                        sentence(random, length(random)), sentence(random, 1), sentence(random, 1));
    }
    out += ']';
    return out;
}

std::string numberHeavyDocument() {
    std::mt19937_64 random(2);
    std::uniform_int_distribution<std::int64_t> integer(-1'000'000'000, 1'000'000'000);
    std::uniform_int_distribution<int> scale(0, 8);
    std::string out = "[";
    for (int row = 0; out.size() < kTargetSize; ++row) {
        if (row > 0) out += ',';
        out += '[';
        for (int i = 0; i < 16; ++i) {
            if (i > 0) out += ',';
            const std::int64_t n = integer(random);
            switch (i % 4) {
                case 0:
                    out += fmt::format("{}", n);
                    break;
                case 1:
                    out += fmt::format("{}.{}", n / 1000, (n < 0 ? -n : n) % 1000 + 1);
                    break;
                case 2:
                    out += fmt::format("{}e{}", n % 100000, scale(random) - 4);
                    break;
                default:
                    out += fmt::format("{}", n % 100);
                    break;
            }
        }
        out += ']';
    }
    out += ']';
    return out;
}

std::string deeplyNestedDocument() {
    // 450 levels (an object and its list count two), within the default
    // limit of 512 that the codec reads by.
    constexpr int kLevels = 300;
    std::string item;
    for (int level = 0; level < kLevels; ++level) {
        item += level % 2 == 0 ? R"({"n":[)" : "[1,";
    }
    item += "true";
    for (int level = kLevels - 1; level >= 0; --level) item += level % 2 == 0 ? "]}" : "]";
    std::string out = "[";
    for (int i = 0; out.size() < kTargetSize; ++i) {
        if (i > 0) out += ',';
        out += item;
    }
    out += ']';
    return out;
}

std::string apiAnswerDocument() {
    std::mt19937 random(3);
    std::uniform_int_distribution<std::uint64_t> id(100000000000000ull, 999999999999999ull);
    std::uniform_int_distribution<int> count(0, 5000);
    std::string out = R"({"data":[)";
    for (int i = 0; out.size() < kTargetSize; ++i) {
        if (i > 0) out += ',';
        const std::uint64_t postId = id(random);
        out += fmt::format(
            R"({{"id":"{}_{}","from":{{"name":"{}","id":"{}"}},"message":"{}",)"
            R"("picture":"https:\/\/photos.example.com\/{}_s.jpg","type":"photo",)"
            R"("created_time":"2012-06-{:02}T10:{:02}:00+0000","updated_time":"2012-06-{:02}T11:00:00+0000",)"
            R"("likes":{{"data":[{{"name":"{}","id":"{}"}}],"count":{}}},"comments":{{"count":{}}},)"
            R"("is_published":true,"privacy":{{"value":"EVERYONE","description":null}}}})",
            id(random), postId, sentence(random, 2), id(random), sentence(random, 12), postId,
            i % 28 + 1, i % 60, i % 28 + 1, sentence(random, 2), id(random), count(random),
            count(random));
    }
    out +=
        R"(],"paging":{"previous":"https:\/\/graph.example.com\/me\/feed?since=1","next":null}})";
    return out;
}

}  // namespace qp::bench
