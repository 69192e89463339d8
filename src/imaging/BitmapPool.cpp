#include "imaging/BitmapPool.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#include <sys/mman.h>

namespace qp {
namespace {

// Buffers below this size come from the ordinary allocator, larger ones
// straight from the system (see mapFresh).
constexpr std::size_t kPoolMinBytes = std::size_t(1) << 20;
// At most this much idle memory is kept, in at most this many buffers.
constexpr std::size_t kPoolMaxBytes = std::size_t(256) << 20;
constexpr std::size_t kPoolMaxBuffers = 8;
// Room before the pixels for the buffer's capacity; keeps rows aligned.
constexpr std::size_t kHeader = 64;
// No single bitmap may take more than this (a 100-megapixel photo takes
// 400 MB); larger requests give a null image instead of a doomed allocation.
constexpr std::size_t kMaxBitmapBytes = std::size_t(2) << 30;
// Fresh buffers are whole transparent huge pages, asked for as such: a 2 MiB
// page is one fault where 4 KiB pages take 512, and those faults cost a
// one-photo compose more time than decoding the photo. The rounding keeps
// under 2 MiB unused per buffer; with the few buffers a photo needs, the
// peak resident size of a compose did not grow (the libraries no longer
// loaded more than made up for it).
constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t mappedLength(std::size_t capacity) {
    return (kHeader + capacity + kHugePage - 1) / kHugePage * kHugePage;
}

void* mapFresh(std::size_t capacity) {
    const std::size_t length = mappedLength(capacity);
    // A huge page more than needed, so the buffer can start on its boundary;
    // the unused ends go back at once.
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto first = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t start = (first + kHugePage - 1) & ~(kHugePage - 1);
    const std::size_t head = start - first;
    if (head > 0) ::munmap(raw, head);
    if (kHugePage - head > 0) ::munmap(reinterpret_cast<void*>(start + length), kHugePage - head);
    ::madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE);  // a hint only
    return reinterpret_cast<void*>(start);
}

void unmap(void* base, std::size_t capacity) {
    ::munmap(base, mappedLength(capacity));
}

struct Pool {
    std::mutex mutex;
    std::vector<std::pair<void*, std::size_t>> idle;  // base, capacity
    std::size_t idleBytes = 0;
};

Pool& pool() {
    static Pool* instance = new Pool;  // never destroyed: images may outlive statics
    return *instance;
}

void* acquire(std::size_t bytes, std::size_t& capacity) {
    {
        Pool& p = pool();
        std::lock_guard lock(p.mutex);
        auto best = p.idle.end();
        for (auto it = p.idle.begin(); it != p.idle.end(); ++it) {
            // Reuse only a buffer that is not wastefully larger.
            if (it->second >= bytes && it->second <= bytes * 2 &&
                (best == p.idle.end() || it->second < best->second)) {
                best = it;
            }
        }
        if (best != p.idle.end()) {
            void* base = best->first;
            capacity = best->second;
            p.idleBytes -= capacity;
            p.idle.erase(best);
            return base;
        }
    }
    capacity = bytes;
    return mapFresh(bytes);
}

void release(void* info) {
    void* base = info;
    const std::size_t capacity = *static_cast<std::size_t*>(base);
    Pool& p = pool();
    {
        std::lock_guard lock(p.mutex);
        if (p.idle.size() < kPoolMaxBuffers && p.idleBytes + capacity <= kPoolMaxBytes) {
            p.idle.emplace_back(base, capacity);
            p.idleBytes += capacity;
            return;
        }
    }
    unmap(base, capacity);
}

}  // namespace

QImage pooledBitmap(int width, int height, QImage::Format format) {
    if (width <= 0 || height <= 0) return QImage();
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const std::size_t rowBytes = (std::size_t(width) * std::size_t(depth / 8) + 3) / 4 * 4;
    const std::size_t bytes = rowBytes * std::size_t(height);
    if (bytes > kMaxBitmapBytes) return QImage();
    if (bytes < kPoolMinBytes || (depth != 8 && depth != 32)) return QImage(width, height, format);
    std::size_t capacity = 0;
    void* base = acquire(bytes, capacity);
    if (base == nullptr) return QImage();
    *static_cast<std::size_t*>(base) = capacity;
    auto* pixels = static_cast<uchar*>(base) + kHeader;
    return QImage(pixels, width, height, qsizetype(rowBytes), format, release, base);
}

void trimBitmapPool() {
    Pool& p = pool();
    std::vector<std::pair<void*, std::size_t>> idle;
    {
        std::lock_guard lock(p.mutex);
        idle.swap(p.idle);
        p.idleBytes = 0;
    }
    for (auto& [base, capacity] : idle) unmap(base, capacity);
}

std::size_t pooledBitmapBytes() {
    Pool& p = pool();
    std::lock_guard lock(p.mutex);
    return p.idleBytes;
}

}  // namespace qp
