// Shared libraries and modules. A ModuleHandle from loadLibrary is a dlopen handle; one from
// thisModule/moduleContaining is the module's load address (what dladdr calls dli_fbase), which is
// what moduleFilePath expects. The two are not interchangeable, as on Windows they happen to be.
#include "platform/Platform.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <unistd.h>

namespace platform {

LoadResult loadLibrary(const std::wstring& path) {
    LoadResult result;
    const std::string file = wideToUtf8(path);
    // dlopen("") would hand back the executable itself; LoadLibrary of nothing loads nothing.
    if (file.empty())
        return result;
    dlerror();
    result.module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!result.module) {
        // dlopen reports only text. A missing file and a missing dependency both read like this, just
        // as both are ERROR_MOD_NOT_FOUND on Windows; a broken or wrong-architecture file does not.
        const char* error = dlerror();
        result.isModuleNotFound = error && (std::strstr(error, "cannot open shared object file") ||
                                            std::strstr(error, "No such file"));
    }
    return result;
}

void* findSymbol(ModuleHandle module, const char* name) {
    // A null handle would mean "search everything" to dlsym; GetProcAddress(nullptr) finds nothing useful.
    if (!module || !name)
        return nullptr;
    return dlsym(module, name);
}

void freeLibrary(ModuleHandle module) {
    if (module)
        dlclose(module);
}

std::wstring sharedLibraryFileName(const std::wstring& baseName) { return L"lib" + baseName + L".so"; }

const wchar_t* const* dataSourceManagerLibraryNames() {
    // The same two managers, old and new, that are looked for on Windows.
    static const wchar_t* const names[] = {L"libtwain_32.so", L"libtwaindsm.so", nullptr};
    return names;
}

ModuleHandle moduleContaining(const void* address) {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0)
        return nullptr;
    return info.dli_fbase;
}

ModuleHandle thisModule() { return moduleContaining(reinterpret_cast<const void*>(&thisModule)); }

namespace {

std::wstring executablePath() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::wstring() : utf8ToWide(path.string());
}

struct ModuleSearch {
    uintptr_t address = 0;
    bool found = false;
    std::string name;
};

int matchModule(dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<ModuleSearch*>(data);
    uintptr_t low = UINTPTR_MAX, high = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const auto& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD)
            continue;
        const uintptr_t start = info->dlpi_addr + header.p_vaddr;
        low = start < low ? start : low;
        high = start + header.p_memsz > high ? start + header.p_memsz : high;
    }
    // The load address is the page that holds the first segment.
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    low &= ~(page - 1);
    if (search->address < low || search->address >= high)
        return 0;
    search->found = true;
    search->name = info->dlpi_name ? info->dlpi_name : "";
    return 1;
}

} // namespace

std::wstring moduleFilePath(ModuleHandle module) {
    if (!module)
        return executablePath();
    ModuleSearch search;
    search.address = reinterpret_cast<uintptr_t>(module);
    dl_iterate_phdr(matchModule, &search);
    if (!search.found)
        return {};
    // The executable has no name in the loader's list.
    if (search.name.empty())
        return executablePath();
    // A library loaded by a relative path keeps that path; callers look for files beside it, so
    // give them a full one like GetModuleFileName does.
    std::error_code error;
    const auto absolute = std::filesystem::absolute(search.name, error);
    return utf8ToWide(error ? search.name : absolute.string());
}

} // namespace platform
