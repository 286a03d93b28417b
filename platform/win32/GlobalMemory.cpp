// Moveable global memory over the Win32 API: the blocks an application frees with GlobalFree.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {

GlobalHandle globalAllocate(uint32_t size) { return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size); }

void* globalLock(GlobalHandle handle) { return handle ? GlobalLock(static_cast<HGLOBAL>(handle)) : nullptr; }

void globalUnlock(GlobalHandle handle) {
    if (handle)
        GlobalUnlock(static_cast<HGLOBAL>(handle));
}

void globalFree(GlobalHandle handle) {
    if (handle)
        GlobalFree(static_cast<HGLOBAL>(handle));
}

} // namespace platform
