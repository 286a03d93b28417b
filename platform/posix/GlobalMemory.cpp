// Moveable global memory as the application and the data source hand it to each other: a handle names
// a tracked block, and only a lock yields its address. Tracking every live handle lets the tests see
// leaks and unbalanced locks, and lets a free of a bad or already freed handle do no harm.
#include "platform/posix/GlobalMemory.h"

#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_set>

namespace platform {

namespace {

constexpr uint32_t kBlockMagic = 0x54474d42; // "TGMB"

struct alignas(std::max_align_t) BlockHeader {
    uint32_t magic;
    uint32_t size;
    uint32_t lockCount;
};

struct Allocator {
    std::mutex mutex;
    std::unordered_set<BlockHeader*> live;
};

// Never destroyed: handles may still be freed by static destructors of other libraries at exit.
Allocator& allocator() {
    static Allocator* instance = new Allocator;
    return *instance;
}

BlockHeader* liveBlock(Allocator& state, GlobalHandle handle) {
    auto* block = static_cast<BlockHeader*>(handle);
    return block && state.live.count(block) && block->magic == kBlockMagic ? block : nullptr;
}

} // namespace

GlobalHandle globalAllocate(uint32_t size) {
    // A zero-byte block still gets a handle, as GlobalAlloc gives one; its one byte is never used.
    const std::size_t payload = size ? size : 1;
    void* memory = std::calloc(1, sizeof(BlockHeader) + payload);
    if (!memory)
        return nullptr;
    auto* block = new (memory) BlockHeader{kBlockMagic, size, 0};
    Allocator& state = allocator();
    try {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.live.insert(block);
    } catch (...) {
        std::free(memory);
        return nullptr;
    }
    return block;
}

void* globalLock(GlobalHandle handle) {
    Allocator& state = allocator();
    std::lock_guard<std::mutex> lock(state.mutex);
    BlockHeader* block = liveBlock(state, handle);
    if (!block)
        return nullptr;
    ++block->lockCount;
    return block + 1;
}

void globalUnlock(GlobalHandle handle) {
    Allocator& state = allocator();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (BlockHeader* block = liveBlock(state, handle); block && block->lockCount > 0)
        --block->lockCount;
}

void globalFree(GlobalHandle handle) {
    Allocator& state = allocator();
    BlockHeader* block = nullptr;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        block = liveBlock(state, handle);
        if (!block)
            return;
        state.live.erase(block);
        block->magic = 0;
    }
    std::free(block);
}

} // namespace platform

extern "C" void tarsin_platform_global_memory_stats(std::size_t* liveHandles, std::size_t* lockedHandles) {
    auto& state = platform::allocator();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::size_t locked = 0;
    for (const auto* block : state.live)
        locked += block->lockCount > 0 ? 1 : 0;
    if (liveHandles)
        *liveHandles = state.live.size();
    if (lockedHandles)
        *lockedHandles = locked;
}
