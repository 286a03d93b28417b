// Dynamic libraries and modules over the Win32 API.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {

LoadResult loadLibrary(const std::wstring& path) {
    LoadResult result;
    result.module = LoadLibraryW(path.c_str());
    if (!result.module)
        result.isModuleNotFound = GetLastError() == ERROR_MOD_NOT_FOUND;
    return result;
}

void* findSymbol(ModuleHandle module, const char* name) {
    if (!module || !name)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void freeLibrary(ModuleHandle module) {
    if (module)
        FreeLibrary(static_cast<HMODULE>(module));
}

std::wstring sharedLibraryFileName(const std::wstring& baseName) { return baseName + L".dll"; }

const wchar_t* const* dataSourceManagerLibraryNames() {
    static const wchar_t* const names[] = {L"TWAIN_32.dll", L"TWAINDSM.dll", nullptr};
    return names;
}

ModuleHandle moduleContaining(const void* address) {
    HMODULE module = nullptr;
    if (!address || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                        static_cast<LPCWSTR>(address), &module))
        return nullptr;
    return module;
}

// Linked statically, this code lives in the data source's DLL: that is the module named here.
ModuleHandle thisModule() { return moduleContaining(reinterpret_cast<const void*>(&thisModule)); }

std::wstring moduleFilePath(ModuleHandle module) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module), buffer, MAX_PATH);
    // A path that did not fit is cut off (and, on old systems, not terminated): useless either way.
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(buffer, length);
}

} // namespace platform
