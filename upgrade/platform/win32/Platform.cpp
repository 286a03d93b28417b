#include "platform/Platform.h"

#include <memory>
#include <type_traits>

#include <windows.h>
// These two build on the types of windows.h.
#include <shellapi.h>
#include <tlhelp32.h>

namespace upgrade::platform {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct KeyCloser {
    void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

constexpr DWORD kImagePathUnits = 1024;

} // namespace

std::optional<std::wstring> readMachineString(const std::wstring& keyPath, const std::wstring& valueName,
                                              std::size_t bufferBytes) {
    HKEY rawKey = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE, &rawKey) != ERROR_SUCCESS ||
        rawKey == nullptr)
        return std::nullopt;
    UniqueKey key(rawKey);
    // One unit more than announced: a value stored without terminator still ends in a zero.
    std::wstring buffer(bufferBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(bufferBytes);
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer.c_str());
}

std::optional<std::vector<std::wstring>> processImagePaths() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) {
        (void)snapshot.release(); // INVALID_HANDLE_VALUE is no handle to close
        return std::nullopt;
    }
    std::vector<std::wstring> paths;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        std::wstring path;
        if (HANDLE opened = OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID)) {
            UniqueHandle process(opened);
            std::wstring buffer(kImagePathUnits, L'\0');
            DWORD units = kImagePathUnits;
            if (QueryFullProcessImageNameW(process.get(), 0, buffer.data(), &units))
                path.assign(buffer.c_str(), units);
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

std::optional<unsigned long> runAndWait(const std::string& program, const std::string& argument) {
    // Built to its real length: a fixed buffer would cut or overrun a long package path.
    std::string commandLine = program + " " + argument;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return std::nullopt;
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    return static_cast<unsigned long>(exitCode);
}

bool openDetached(const std::wstring& path) {
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW));
    return result > 32; // ShellExecute reports errors as values up to 32
}

} // namespace upgrade::platform
