#include "OBBase/OBBase.h"

#include <new>
#include <system_error>
#include <thread>

extern "C" int TSBase_OpenThread(TSBase_ThreadProc proc, void* parameter, TSBase_Thread* thread) {
    if (thread == nullptr)
        return 0;
    *thread = nullptr;
    if (proc == nullptr)
        return 0;
    try {
        *thread = new std::thread([proc, parameter] { proc(nullptr, parameter); });
        return 1;
    } catch (const std::system_error&) {
        return 0; // no thread resources left
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

extern "C" void TSBase_CloseThread(TSBase_Thread thread) {
    auto* worker = static_cast<std::thread*>(thread);
    if (worker == nullptr)
        return;
    if (worker->joinable())
        worker->join();
    delete worker;
}
