#include "json/JsonArena.h"

#include <cstdlib>
#include <ostream>

#include "json/JsonProxy.h"

namespace qp {

// Blocks stay under the C library's threshold for mapping memory afresh, so
// that freed blocks are reused warm by the next tree.
constexpr std::size_t kLargestBlock = 64 * 1024;

struct JsonArena::Block {
    Block* next;
    std::size_t padding;  // keeps the data after the header 16-byte aligned
};

JsonArena::~JsonArena() {
    for (Cleanup* cleanup = m_cleanups; cleanup != nullptr;) {
        Cleanup* const next = cleanup->next;  // the entry may live in an adopted arena
        cleanup->run(cleanup->object);
        cleanup = next;
    }
    for (Block* block = m_blocks; block != nullptr;) {
        Block* const next = block->next;
        std::free(block);
        block = next;
    }
}

void* JsonArena::allocateSlow(std::size_t bytes) {
    const bool ownBlock = bytes > m_blockSize / 4;
    const std::size_t size = ownBlock ? bytes : m_blockSize;
    auto* const block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
    if (block == nullptr) throw std::bad_alloc();
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

const JsonString* JsonArena::makeString(std::string_view text) {
    void* const at = allocate(sizeof(JsonString) + text.size());
    char* const chars = static_cast<char*>(at) + sizeof(JsonString);
    if (!text.empty()) std::memcpy(chars, text.data(), text.size());
    return new (at) JsonString(chars, text.size());
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
