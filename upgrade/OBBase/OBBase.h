#pragma once

// OBBase: the thread service that the upgrade program links. A C interface so that the program's
// side does not depend on how the threads are made on each system.

#ifdef __cplusplus
extern "C" {
#endif

// Opaque handle of a running thread; 0 stands for "no thread".
typedef void* TSBase_Thread;

// Body of a thread. The first argument is reserved (always null); the second is the parameter
// given to TSBase_OpenThread.
typedef void (*TSBase_ThreadProc)(void* reserved, void* parameter);

// Starts a thread that runs proc(nullptr, parameter) and stores its handle in *thread.
// Returns 1 on success; on failure returns 0 and leaves *thread at 0.
int TSBase_OpenThread(TSBase_ThreadProc proc, void* parameter, TSBase_Thread* thread);

// Waits until the thread has finished and frees its handle. Accepts 0 and does nothing then.
// Must not be called from the thread itself.
void TSBase_CloseThread(TSBase_Thread thread);

#ifdef __cplusplus
}
#endif
