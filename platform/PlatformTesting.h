// Services for tests and tools only: writing what the data source reads, and looking into the
// stand-in allocator. Never linked into the data source.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform::testing {

// Writes (or, with an empty optional, deletes) a string value under HKEY_LOCAL_MACHINE.
void writeMachineRegistryString(const std::wstring& keyPath, const std::wstring& valueName,
                                const std::optional<std::wstring>& value);

struct GlobalMemoryStats {
    std::size_t liveHandles = 0;   // allocated and not yet freed
    std::size_t lockedHandles = 0; // handles whose lock count is above zero
};
// The stand-in allocator's counters; empty on systems whose allocator cannot be inspected (Win32).
std::optional<GlobalMemoryStats> globalMemoryStats();

// Sets an environment variable of this process (read by the backend and the registry stand-in).
void setEnvironmentVariable(const std::string& name, const std::string& value);
// Creates a fresh folder under the system's temporary folder; its path ends with a separator.
std::string makeTemporaryDirectory(const std::string& prefix);

} // namespace platform::testing
