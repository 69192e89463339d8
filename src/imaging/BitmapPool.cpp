#include "imaging/BitmapPool.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

namespace qp {
namespace {

// Buffers below this size come from the ordinary allocator.
constexpr std::size_t kPoolMinBytes = std::size_t(1) << 20;
// At most this much idle memory is kept, in at most this many buffers.
constexpr std::size_t kPoolMaxBytes = std::size_t(256) << 20;
constexpr std::size_t kPoolMaxBuffers = 8;
// Room before the pixels for the buffer's capacity; keeps rows aligned.
constexpr std::size_t kHeader = 64;
// No single bitmap may take more than this (a 100-megapixel photo takes
// 400 MB); larger requests give a null image instead of a doomed allocation.
constexpr std::size_t kMaxBitmapBytes = std::size_t(2) << 30;

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
    return std::aligned_alloc(kHeader, (kHeader + bytes + kHeader - 1) / kHeader * kHeader);
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
    std::free(base);
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
    for (auto& [base, capacity] : idle) std::free(base);
}

std::size_t pooledBitmapBytes() {
    Pool& p = pool();
    std::lock_guard lock(p.mutex);
    return p.idleBytes;
}

}  // namespace qp
