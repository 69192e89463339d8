#include "imaging/EmbeddedProfile.h"

#include <zlib.h>

#include <cstring>
#include <map>

#include "imaging/FileStructure.h"

namespace qp {
namespace {

constexpr std::uint8_t kApp2 = 0xE2;
// "ICC_PROFILE", its terminating zero, then the chunk's number and the count.
constexpr char kIccSignature[] = "ICC_PROFILE";
constexpr std::size_t kIccChunkHeader = sizeof kIccSignature + 2;
constexpr std::size_t kMaxPngKeyword = 79;

EmbeddedProfile damaged() {
    return {EmbeddedProfile::State::Damaged, {}};
}

EmbeddedProfile jpegProfile(const std::uint8_t* data, std::size_t size) {
    std::map<int, QByteArray> chunks;
    int count = 0;
    bool broken = false;
    std::size_t total = 0;
    walkJpegSegments(data, size, [&](const JpegSegment& segment) {
        if (segment.marker != kApp2 || segment.size < kIccChunkHeader ||
            std::memcmp(segment.body, kIccSignature, sizeof kIccSignature) != 0) {
            return true;
        }
        const int number = segment.body[sizeof kIccSignature];
        const int chunkCount = segment.body[sizeof kIccSignature + 1];
        total += segment.size - kIccChunkHeader;
        if (number < 1 || number > chunkCount || (count != 0 && chunkCount != count) ||
            chunks.count(number) != 0 || total > kMaxIccProfileBytes) {
            broken = true;
            return false;
        }
        count = chunkCount;
        chunks[number] = QByteArray(reinterpret_cast<const char*>(segment.body) + kIccChunkHeader,
                                    qsizetype(segment.size - kIccChunkHeader));
        return true;
    });
    if (broken) return damaged();
    if (chunks.empty()) return {};
    if (int(chunks.size()) != count) return damaged();  // a chunk is missing
    EmbeddedProfile profile{EmbeddedProfile::State::Found, {}};
    for (const auto& [number, chunk] : chunks) profile.icc += chunk;
    return profile;
}

// Inflates a zlib stream, refusing output past kMaxIccProfileBytes.
EmbeddedProfile inflated(const std::uint8_t* data, std::size_t size) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return damaged();
    QByteArray out;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = uInt(size);
    int status = Z_OK;
    while (status == Z_OK) {
        const qsizetype done = out.size();
        if (std::size_t(done) >= kMaxIccProfileBytes) break;
        const qsizetype step =
            qsizetype(std::min<std::size_t>(64 * 1024, kMaxIccProfileBytes - done));
        out.resize(done + step);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
        stream.avail_out = uInt(step);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(done + step - qsizetype(stream.avail_out));
        if (status == Z_BUF_ERROR && stream.avail_out != 0) break;  // input ran out
        if (status == Z_BUF_ERROR) status = Z_OK;                   // room ran out: go on
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return damaged();
    return {EmbeddedProfile::State::Found, std::move(out)};
}

EmbeddedProfile pngProfile(const std::uint8_t* data, std::size_t size) {
    EmbeddedProfile profile;
    walkPngChunks(data, size, [&](const PngChunk& chunk) {
        if (chunk.type == "IDAT") return false;  // a profile must come before the image data
        if (chunk.type != "iCCP") return true;
        // A keyword of 1 to 79 bytes, its zero, the compression method (0).
        const auto* end = static_cast<const std::uint8_t*>(
            std::memchr(chunk.body, 0, std::min(chunk.size, kMaxPngKeyword + 1)));
        if (end == nullptr || end == chunk.body || std::size_t(end - chunk.body) + 2 > chunk.size ||
            end[1] != 0) {
            profile = damaged();
            return false;
        }
        const std::size_t start = std::size_t(end - chunk.body) + 2;
        profile = inflated(chunk.body + start, chunk.size - start);
        return false;
    });
    return profile;
}

}  // namespace

EmbeddedProfile readEmbeddedProfile(const std::uint8_t* data, std::size_t size,
                                    PhotoFormat format) {
    switch (format) {
        case PhotoFormat::Jpeg:
            return jpegProfile(data, size);
        case PhotoFormat::Png:
            return pngProfile(data, size);
        default:
            return {};
    }
}

}  // namespace qp
