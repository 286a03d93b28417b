// Registry, INI files, paths and files over the Win32 API.
#include "platform/Platform.h"

#include <windows.h>

#include <vector>

namespace platform {

std::wstring readMachineRegistryString(const std::wstring& keyPath, const std::wstring& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str(), &key) != ERROR_SUCCESS)
        return {};
    std::wstring result;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
        // Stored strings need not end in a zero, and the byte count may be odd: the spare zero units
        // guarantee termination whatever was written.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 4, L'\0');
        DWORD read = size;
        if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                             &read) == ERROR_SUCCESS)
            result = buffer.data();
    }
    RegCloseKey(key);
    return result;
}

int readIniInt(const std::wstring& path, const std::wstring& section, const std::wstring& key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntW(section.c_str(), key.c_str(), fallback, path.c_str()));
}

std::wstring currentDirectory() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
        return {};
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size())
        return {};
    return std::wstring(buffer.data(), length);
}

bool setCurrentDirectory(const std::wstring& directory) {
    return SetCurrentDirectoryW(directory.c_str()) != FALSE;
}

bool moveFile(const std::string& from, const std::string& to) {
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

std::string temporaryDirectory() {
    char buffer[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathA(static_cast<DWORD>(sizeof buffer), buffer);
    if (length == 0 || length >= sizeof buffer)
        return {};
    return std::string(buffer, length);
}

void sleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

} // namespace platform
