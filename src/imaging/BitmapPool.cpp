#include "imaging/BitmapPool.h"

#include <algorithm>
#include <cstdint>
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
// No single bitmap may take more than this (a 100-megapixel photo takes
// 400 MB); larger requests give a null image instead of a doomed allocation.
constexpr std::size_t kMaxBitmapBytes = std::size_t(2) << 30;
// Fresh buffers start on a transparent huge page boundary and ask for huge
// pages: a 2 MiB page is one fault where 4 KiB pages take 512, and those
// faults cost a one-photo compose more time than decoding the photo. A
// buffer is rounded up to whole huge pages only when that wastes at most a
// quarter of it; otherwise its tail is small pages. Rounding every buffer up
// took a fault-free compose but 2 MB more peak resident size (the pool keeps
// what is freed), more than a large photo's compose may take.
constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kSmallPage = 4096;

std::size_t roundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

std::size_t mappedLength(std::size_t capacity) {
    const std::size_t whole = roundUp(capacity, kHugePage);
    return whole - capacity <= capacity / 4 ? whole : roundUp(capacity, kSmallPage);
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

// What a bitmap's clean-up needs to give its buffer back.
struct Buffer {
    void* base;
    std::size_t capacity;
};

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

void giveBack(void* base, std::size_t capacity) {
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

void release(void* info) {
    const Buffer* buffer = static_cast<const Buffer*>(info);
    giveBack(buffer->base, buffer->capacity);
    delete buffer;
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
    auto* buffer = new (std::nothrow) Buffer{base, capacity};
    if (buffer == nullptr) {
        giveBack(base, capacity);
        return QImage();
    }
    return QImage(static_cast<uchar*>(base), width, height, qsizetype(rowBytes), format, release,
                  buffer);
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
