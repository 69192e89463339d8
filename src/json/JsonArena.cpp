#include "json/JsonArena.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>

#include "json/JsonProxy.h"

namespace qp {

struct JsonArena::Block {
    Block* next;
    std::size_t size;  // of the data after the header, which stays 16-byte aligned
};

namespace {

// Blocks stay under the C library's threshold for mapping memory afresh.
constexpr std::size_t kLargestBlock = 64 * 1024;

// Each thread keeps a few of the largest blocks that trees gave back, so the
// next tree is written into memory that is already mapped: otherwise the C
// library hands the freed top of the heap back to the system, and every
// tree read pays a page fault per 4 KiB again. 4 MiB at most per thread.
constexpr std::size_t kCachedBlocks = 64;

struct BlockCache {
    void* blocks[kCachedBlocks];
    std::size_t count;
    bool closed;  // the thread is ending: blocks are freed at once
};
// Trivially destructible, so it stays usable while the thread's other
// objects are destroyed; the guard empties it once.
thread_local BlockCache t_cache{};

void freeCachedBlocks() {
    for (std::size_t i = 0; i < t_cache.count; ++i) std::free(t_cache.blocks[i]);
    t_cache.count = 0;
}

struct BlockCacheGuard {
    ~BlockCacheGuard() {
        freeCachedBlocks();
        t_cache.closed = true;
    }
};
thread_local BlockCacheGuard t_cacheGuard;

void* takeCachedBlock() {
    if (t_cache.count == 0) return nullptr;
    return t_cache.blocks[--t_cache.count];
}

void giveBack(void* block, std::size_t size) {
    if (size == kLargestBlock && !t_cache.closed && t_cache.count < kCachedBlocks) {
        if (t_cache.count == 0) (void)&t_cacheGuard;  // constructs the guard
        t_cache.blocks[t_cache.count++] = block;
        return;
    }
    std::free(block);
}

}  // namespace

void JsonArena::releaseCachedBlocks() {
    freeCachedBlocks();
}

JsonArena::JsonArena(std::size_t firstBlockSize)
    : m_blockSize(std::clamp<std::size_t>(firstBlockSize, 256, kLargestBlock)) {}

JsonArena::~JsonArena() {
    for (Cleanup* cleanup = m_cleanups; cleanup != nullptr;) {
        Cleanup* const next = cleanup->next;  // the entry may live in an adopted arena
        cleanup->run(cleanup->object);
        cleanup = next;
    }
    for (Block* block = m_blocks; block != nullptr;) {
        Block* const next = block->next;
        giveBack(block, block->size);
        block = next;
    }
}

void* JsonArena::allocateSlow(std::size_t bytes) {
    const bool ownBlock = bytes > m_blockSize / 4;
    const std::size_t size = ownBlock ? bytes : m_blockSize;
    void* memory = size == kLargestBlock ? takeCachedBlock() : nullptr;
    if (memory == nullptr) memory = std::malloc(sizeof(Block) + size);
    if (memory == nullptr) throw std::bad_alloc();
    auto* const block = static_cast<Block*>(memory);
    block->size = size;
    char* const data = reinterpret_cast<char*>(block + 1);
    if (ownBlock && m_blocks != nullptr) {
        // Behind the current block, which still has room for small pieces.
        block->next = m_blocks->next;
        m_blocks->next = block;
        return data;
    }
    block->next = m_blocks;
    m_blocks = block;
    m_next = data + bytes;
    m_limit = data + size;
    if (m_blockSize < kLargestBlock) m_blockSize *= 2;
    return data;
}

const JsonString* JsonArena::makeString(std::string_view text, bool plain) {
    void* const at = allocate(sizeof(JsonString) + text.size());
    char* const chars = static_cast<char*>(at) + sizeof(JsonString);
    if (!text.empty()) std::memcpy(chars, text.data(), text.size());
    return new (at) JsonString(chars, text.size(), plain);
}

void JsonArena::addCleanup(void (*run)(void*), void* object) {
    m_cleanups = make<Cleanup>(Cleanup{run, object, m_cleanups});
}

const std::shared_ptr<const JsonProxy>* JsonArena::keepProxy(
    std::shared_ptr<const JsonProxy> proxy) {
    using Held = std::shared_ptr<const JsonProxy>;
    Held* const held = make<Held>(std::move(proxy));
    addCleanup([](void* object) { static_cast<Held*>(object)->~Held(); }, held);
    return held;
}

void JsonArena::adopt(JsonArena* other) {
    addCleanup([](void* object) { delete static_cast<JsonArena*>(object); }, other);
}

std::ostream& operator<<(std::ostream& out, const JsonString& text) {
    return out << text.view();
}

}  // namespace qp
