#include "Profile.h"

#include "platform/Platform.h"

#include <cstdlib>

namespace simscanner {

std::string selectedProfileName() {
    // The environment wins so that one test process can switch devices without touching the
    // machine-wide registry stand-in that other processes share.
    if (const char* fromEnvironment = std::getenv("TARSIN_SIM_PROFILE"); fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    const std::wstring fromRegistry =
        platform::readMachineRegistryString(L"SOFTWARE\\TarsinScan", L"SimulatorProfile");
    if (!fromRegistry.empty())
        return platform::wideToUtf8(fromRegistry);
    return "default";
}

} // namespace simscanner
