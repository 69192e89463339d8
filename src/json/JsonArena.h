#pragma once
// The memory of one JSON tree: values, strings, members and elements are cut
// from large blocks one after the other, and the blocks are freed together
// when the tree goes. Nothing in it is freed one by one, so reading makes a
// malloc per block rather than per node, and dropping a tree frees a handful
// of blocks instead of walking it.

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <utility>

#include "json/JsonString.h"

namespace qp {

class JsonProxy;

class JsonArena {
public:
    // The first block is this large (more for a long piece); later ones grow.
    explicit JsonArena(std::size_t firstBlockSize = 512);
    JsonArena(const JsonArena&) = delete;
    JsonArena& operator=(const JsonArena&) = delete;
    ~JsonArena();

    // `bytes` of memory aligned for any JSON node, valid as long as the arena.
    void* allocate(std::size_t bytes) {
        bytes = (bytes + kAlignment - 1) & ~(kAlignment - 1);
        if (static_cast<std::size_t>(m_limit - m_next) < bytes) return allocateSlow(bytes);
        void* const at = m_next;
        m_next += bytes;
        return at;
    }
    template <typename T, typename... Args>
    T* make(Args&&... args) {
        static_assert(alignof(T) <= kAlignment);
        return new (allocate(sizeof(T))) T(std::forward<Args>(args)...);
    }
    template <typename T>
    T* allocateArray(std::size_t count) {
        static_assert(alignof(T) <= kAlignment);
        return static_cast<T*>(allocate(sizeof(T) * count));
    }

    // A copy of `text` whose characters live in the arena.
    JsonString copyText(std::string_view text, bool plain = false) {
        if (text.empty()) return {};
        char* const chars = static_cast<char*>(allocate(text.size()));
        std::memcpy(chars, text.data(), text.size());
        return {chars, text.size(), plain};
    }
    JsonString copyText(const JsonString& text) { return copyText(text.view(), text.knownPlain()); }
    // A string node: the JsonString followed by its characters.
    const JsonString* makeString(std::string_view text, bool plain = false);

    // A proxy reference kept in the arena and released with it.
    const std::shared_ptr<const JsonProxy>* keepProxy(std::shared_ptr<const JsonProxy> proxy);
    // Takes over another arena: it is freed with this one.
    void adopt(JsonArena* other);

    // Frees the blocks this thread keeps for the next trees.
    static void releaseCachedBlocks();

private:
    static constexpr std::size_t kAlignment = 8;
    struct Block;
    struct Cleanup {
        void (*run)(void*);
        void* object;
        Cleanup* next;
    };

    void* allocateSlow(std::size_t bytes);
    void addCleanup(void (*run)(void*), void* object);

    char* m_next = nullptr;
    char* m_limit = nullptr;
    Block* m_blocks = nullptr;
    Cleanup* m_cleanups = nullptr;
    // Blocks grow to this size; longer runs get a block of their own.
    std::size_t m_blockSize;
};

}  // namespace qp
