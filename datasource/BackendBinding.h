// Finding, loading and unloading the scanner backend library, and the translation of its statuses.
#pragma once

#include "datasource/ScannerBackend.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>

namespace tarsin {

// The process-wide record of the backend library, shared by every source instance.
struct BackendBinding {
    std::wstring libraryPath;
    platform::ModuleHandle module = nullptr;
    backend::OpenScannerFn open_scanner = nullptr;
    backend::IsScannerOnlineFn is_scanner_online = nullptr;
    backend::InitializeFn initialize = nullptr;
    backend::UninitializeFn uninitialize = nullptr;

    bool isComplete() const { return open_scanner && is_scanner_online && initialize && uninitialize; }
};
BackendBinding& backendBinding();

// The backend folder from HKEY_LOCAL_MACHINE "SOFTWARE\TarsinScan" value "AppDirectory", or empty.
std::wstring readBackendDirectory();
// Loads the library at path into backendBinding().module (null on failure). A library that its own
// companions keep from loading gets one retry from its folder, the current directory restored after.
void loadBackendLibrary(const std::wstring& path);
// Fills the binding from scratch and initialises the backend when all four entry points exist. A
// library that lacks an entry point is freed again rather than left loaded.
void bindBackend();
void unbindBackend();
// The TWAIN condition for a failed open_scanner status.
uint16_t conditionFromBackendStatus(int32_t status);

} // namespace tarsin
