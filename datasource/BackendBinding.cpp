#include "datasource/BackendBinding.h"

#include "twain/Twain.h"

namespace tarsin {

BackendBinding& backendBinding() {
    static BackendBinding binding;
    return binding;
}

std::wstring readBackendDirectory() {
    return platform::readMachineRegistryString(L"SOFTWARE\\TarsinScan", L"AppDirectory");
}

void loadBackendLibrary(const std::wstring& path) {
    BackendBinding& binding = backendBinding();
    platform::LoadResult loaded = platform::loadLibrary(path);
    // The backend's own companion libraries are found from its folder. Without a current directory
    // to come back to, the process is not moved at all.
    const std::wstring saved =
        loaded.module || !loaded.isModuleNotFound ? std::wstring() : platform::currentDirectory();
    if (!saved.empty()) {
        const std::size_t separator = path.find_last_of(platform::kPathSeparator);
        const std::wstring folder = separator == std::wstring::npos ? path : path.substr(0, separator);
        platform::setCurrentDirectory(folder);
        loaded = platform::loadLibrary(path);
        platform::setCurrentDirectory(saved);
    }
    binding.module = loaded.module;
}

void bindBackend() {
    BackendBinding& binding = backendBinding();
    binding.libraryPath = readBackendDirectory();
    if (binding.libraryPath.empty())
        return;
    // No separator check: the registry holds the folder without a trailing separator.
    binding.libraryPath += platform::kPathSeparator;
    binding.libraryPath += platform::sharedLibraryFileName(L"sane");
    loadBackendLibrary(binding.libraryPath);
    if (!binding.module)
        return;
    binding.initialize =
        reinterpret_cast<backend::InitializeFn>(platform::findSymbol(binding.module, "initialize"));
    binding.open_scanner =
        reinterpret_cast<backend::OpenScannerFn>(platform::findSymbol(binding.module, "open_scanner"));
    binding.is_scanner_online = reinterpret_cast<backend::IsScannerOnlineFn>(
        platform::findSymbol(binding.module, "is_scanner_online"));
    binding.uninitialize =
        reinterpret_cast<backend::UninitializeFn>(platform::findSymbol(binding.module, "uninitialize"));
    if (!binding.isComplete()) {
        // A library without the whole interface is of no use: do not keep it loaded.
        platform::freeLibrary(binding.module);
        binding = BackendBinding{};
        return;
    }
    binding.initialize(0);
}

void unbindBackend() {
    BackendBinding& binding = backendBinding();
    if (binding.uninitialize)
        binding.uninitialize(0);
    if (binding.module) {
        platform::freeLibrary(binding.module);
        binding.module = nullptr;
    }
    binding.libraryPath.clear();
    // The other pointers keep their values; a null open_scanner makes the next open bind again.
    binding.open_scanner = nullptr;
}

uint16_t conditionFromBackendStatus(int32_t status) {
    using namespace Twpp;
    switch (static_cast<uint32_t>(status)) {
    case 0:
        return TWCC_SUCCESS;
    case 0x100:
        return TWCC_BADVALUE;
    case 0x103:
        return TWCC_DENIED;
    case 0x10C:
        return TWCC_BADCAP;
    case 0x10D:
        return TWCC_OPERATIONERROR;
    case 0x10F:
        return TWCC_FILENOTFOUND;
    case 0x111:
        return TWCC_FILEWRITEERROR;
    case 0xDE00:
        return TWCC_CHECKDEVICEONLINE;
    case 0xDE01:
        return TWCC_BADPROTOCOL;
    case 0xDE07:
        return TWCC_NOMEDIA;
    case 0xDE09:
        return TWCC_PAPERDOUBLEFEED;
    case 0xDE0A:
        return TWCC_PAPERJAM;
    case 0xDE0E:
        return TWCC_DAMAGEDCORNER;
    default:
        // Anything else lands in the custom range.
        return static_cast<uint16_t>(static_cast<uint32_t>(status) + TWCC_CUSTOMBASE);
    }
}

} // namespace tarsin
