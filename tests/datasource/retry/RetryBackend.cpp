// A backend that depends on a companion library it finds only from the current directory, like a
// vendor's library beside its own DLLs. It refuses to open a scanner with the companion's status,
// which tells the test that loading (after the retry from the library's folder) worked.
#include "datasource/ScannerBackend.h"

extern "C" int companionStatus();

#define RETRY_EXPORT extern "C" __attribute__((visibility("default")))

RETRY_EXPORT int32_t initialize(int32_t) { return 0; }
RETRY_EXPORT int32_t uninitialize(int32_t) { return 0; }
RETRY_EXPORT int32_t is_scanner_online(uint32_t) { return 1; }
RETRY_EXPORT int32_t open_scanner(uint32_t, backend::ScannerObject** scanner) {
    *scanner = nullptr;
    return companionStatus();
}
