// TWAIN memory: the four process-wide memory functions, the handle owner and the scoped lock.
#pragma once

#include "twain/Twain.h"

#include <cstdint>

namespace Twpp {

// The DSM's memory functions once DAT_ENTRYPOINT offered them, the system's global-memory functions
// (moveable, zero-filled) before that.
struct MemoryEntryPoints {
    DSM_MEMALLOCATE allocate;
    DSM_MEMFREE free;
    DSM_MEMLOCK lock;
    DSM_MEMUNLOCK unlock;
};
MemoryEntryPoints& memoryEntryPoints();
// Takes the DSM's functions; a null function keeps the one in force, so a faulty manager never makes
// the source call through null later.
void setMemoryEntryPoints(const TW_ENTRYPOINT& entryPoint);

// Non-zero exactly while an application's DAT_CAPABILITY call with its own container is handled.
// That handle is never freed by an owner meanwhile, so the application's container survives even
// when a handler replaces it in the application's TW_CAPABILITY.
Handle& appContainerHandle();

// Allocates through the entry points; 0 raises std::bad_alloc (answered as TWCC_LOWMEMORY).
Handle allocateHandle(uint32_t size);

// Owns one handle until it is released to the application. Exactly one pointer wide, so that a
// Capability keeps the layout of TW_CAPABILITY.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(Handle handle) : m_handle(handle) {}
    static OwnedHandle allocate(uint32_t size) { return OwnedHandle(allocateHandle(size)); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    OwnedHandle& operator=(OwnedHandle&& other) noexcept;
    ~OwnedHandle() { releaseHandle(m_handle); }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    // Hands the handle over (to the application): this owner forgets it.
    Handle release() {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }

private:
    // Frees unless the handle is null or is the application's container in flight.
    static void releaseHandle(Handle handle) noexcept;
    Handle m_handle = nullptr;
};
static_assert(sizeof(OwnedHandle) == sizeof(Handle));

// Locks a handle for one access; unlocks on destruction, never frees. A lock that yields no pointer
// raises std::bad_alloc, so the triplet fails with TWCC_LOWMEMORY instead of writing through null;
// a null handle raises DataException (TWCC_BADVALUE).
class HandleLock {
public:
    explicit HandleLock(Handle handle);
    HandleLock(const HandleLock&) = delete;
    HandleLock& operator=(const HandleLock&) = delete;
    ~HandleLock();

    uint8_t* data() const { return m_data; }
    template <typename T>
    T* as() const {
        return reinterpret_cast<T*>(m_data);
    }

private:
    Handle m_handle;
    uint8_t* m_data;
};

} // namespace Twpp
