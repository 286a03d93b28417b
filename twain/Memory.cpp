#include "twain/Memory.h"

#include "platform/Platform.h"
#include "twain/Exception.h"

#include <new>

namespace Twpp {

namespace {
Handle TWPP_CALLSTYLE fallbackAllocate(uint32_t size) { return platform::globalAllocate(size); }
void TWPP_CALLSTYLE fallbackFree(Handle handle) { platform::globalFree(handle); }
MemRef TWPP_CALLSTYLE fallbackLock(Handle handle) { return platform::globalLock(handle); }
void TWPP_CALLSTYLE fallbackUnlock(Handle handle) { platform::globalUnlock(handle); }

// Constant-initialised, so the fallbacks are in force before any static constructor runs.
MemoryEntryPoints g_entryPoints{fallbackAllocate, fallbackFree, fallbackLock, fallbackUnlock};
Handle g_appContainerHandle = nullptr;
} // namespace

MemoryEntryPoints& memoryEntryPoints() { return g_entryPoints; }

void setMemoryEntryPoints(const TW_ENTRYPOINT& entryPoint) {
    if (entryPoint.DSM_MemAllocate)
        g_entryPoints.allocate = entryPoint.DSM_MemAllocate;
    if (entryPoint.DSM_MemFree)
        g_entryPoints.free = entryPoint.DSM_MemFree;
    if (entryPoint.DSM_MemLock)
        g_entryPoints.lock = entryPoint.DSM_MemLock;
    if (entryPoint.DSM_MemUnlock)
        g_entryPoints.unlock = entryPoint.DSM_MemUnlock;
}

Handle& appContainerHandle() { return g_appContainerHandle; }

Handle allocateHandle(uint32_t size) {
    Handle handle = g_entryPoints.allocate(size);
    if (!handle)
        throw std::bad_alloc();
    return handle;
}

OwnedHandle& OwnedHandle::operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
        releaseHandle(m_handle);
        m_handle = other.m_handle;
        other.m_handle = nullptr;
    }
    return *this;
}

void OwnedHandle::releaseHandle(Handle handle) noexcept {
    // Only the application's own container is spared: sparing every handle while it is in flight
    // would leak the temporaries a handler builds and drops.
    if (handle && handle != g_appContainerHandle)
        g_entryPoints.free(handle);
}

HandleLock::HandleLock(Handle handle) : m_handle(handle), m_data(nullptr) {
    // A missing handle is the caller's bad data; a lock that fails is the memory manager's refusal.
    if (!handle)
        throw DataException();
    m_data = static_cast<uint8_t*>(g_entryPoints.lock(handle));
    if (!m_data)
        throw std::bad_alloc();
}

HandleLock::~HandleLock() {
    if (m_handle)
        g_entryPoints.unlock(m_handle);
}

} // namespace Twpp
