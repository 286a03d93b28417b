#include "TestSupport.h"

#include <stdlib.h>
#include <windows.h>

namespace upgrade::test {
namespace {
constexpr wchar_t kKey[] = L"SOFTWARE\\OmbrixScan";
constexpr wchar_t kValue[] = L"Application";
} // namespace

void setEnvironment(const std::string& name, const std::optional<std::string>& value) {
    // _putenv_s with an empty value removes the variable from the C runtime's copy, which getenv reads.
    _putenv_s(name.c_str(), value ? value->c_str() : "");
}

ScopedApplicationPath::ScopedApplicationPath(const fs::path&, const std::optional<fs::path>& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (path) {
        const std::wstring text = path->wstring();
        RegSetValueExW(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteValueW(key, kValue);
    }
    RegCloseKey(key);
}

ScopedApplicationPath::~ScopedApplicationPath() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, kValue);
        RegCloseKey(key);
    }
}

} // namespace upgrade::test
