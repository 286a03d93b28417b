#include "OBBase/OBBase.h"

#include <new>

#include <windows.h>

namespace {

struct ThreadStart {
    TSBase_ThreadProc proc;
    void* parameter;
};

DWORD WINAPI threadEntry(LPVOID argument) {
    // The start record is ours; free it before the body runs so a long body holds nothing.
    const ThreadStart start = *static_cast<ThreadStart*>(argument);
    delete static_cast<ThreadStart*>(argument);
    start.proc(nullptr, start.parameter);
    return 0;
}

} // namespace

extern "C" int TSBase_OpenThread(TSBase_ThreadProc proc, void* parameter, TSBase_Thread* thread) {
    if (thread == nullptr)
        return 0;
    *thread = nullptr;
    if (proc == nullptr)
        return 0;
    auto* start = new (std::nothrow) ThreadStart{proc, parameter};
    if (start == nullptr)
        return 0;
    HANDLE handle = CreateThread(nullptr, 0, &threadEntry, start, 0, nullptr);
    if (handle == nullptr) {
        delete start;
        return 0;
    }
    *thread = handle;
    return 1;
}

extern "C" void TSBase_CloseThread(TSBase_Thread thread) {
    if (thread == nullptr)
        return;
    WaitForSingleObject(static_cast<HANDLE>(thread), INFINITE);
    CloseHandle(static_cast<HANDLE>(thread));
}
