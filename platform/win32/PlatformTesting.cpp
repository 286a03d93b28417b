// Writing the real registry for tests and tools. The allocator is the system's and cannot be looked into.
#include "platform/PlatformTesting.h"

#include <windows.h>

#include "platform/Platform.h"

#include <cstdlib>

#include <stdexcept>
#include <string>

namespace platform::testing {

namespace {

[[noreturn]] void fail(const char* what, LONG error) {
    throw std::runtime_error(std::string(what) + " failed with error " + std::to_string(error));
}

} // namespace

void writeMachineRegistryString(const std::wstring& keyPath, const std::wstring& valueName,
                                const std::optional<std::wstring>& value) {
    HKEY key = nullptr;
    if (!value) {
        const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE, &key);
        if (opened == ERROR_FILE_NOT_FOUND)
            return;
        if (opened != ERROR_SUCCESS)
            fail("RegOpenKeyExW", opened);
        const LONG deleted = RegDeleteValueW(key, valueName.c_str());
        RegCloseKey(key);
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
            fail("RegDeleteValueW", deleted);
        return;
    }
    const LONG created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (created != ERROR_SUCCESS)
        fail("RegCreateKeyExW", created);
    const DWORD bytes = static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t));
    const LONG set = RegSetValueExW(key, valueName.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value->c_str()), bytes);
    RegCloseKey(key);
    if (set != ERROR_SUCCESS)
        fail("RegSetValueExW", set);
}

std::optional<GlobalMemoryStats> globalMemoryStats() { return std::nullopt; }

void setEnvironmentVariable(const std::string& name, const std::string& value) {
    ::SetEnvironmentVariableA(name.c_str(), value.c_str());
    ::_putenv_s(name.c_str(), value.c_str()); // the C run-time keeps its own copy for getenv
}

std::string makeTemporaryDirectory(const std::string& prefix) {
    const std::string base = platform::temporaryDirectory();
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::string path =
            base + prefix + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(attempt);
        if (::CreateDirectoryA(path.c_str(), nullptr))
            return path + "\\";
    }
    throw std::runtime_error("cannot create a temporary folder under " + base);
}

} // namespace platform::testing
