// The one seam between the data source and the operating system. Only this header knows that there
// is more than one system: CMake compiles win32/ (the real Win32 API) or posix/ (a stand-in for the
// few Win32 services the data source needs, built as its own shared library so that the data source,
// the application and the tests share one "system", as they share kernel32 on Windows).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using ModuleHandle = void*;
using GlobalHandle = void*;

// --- Registry (HKEY_LOCAL_MACHINE) ---
// The string value `valueName` of key `keyPath` (e.g. L"SOFTWARE\\TarsinScan"), up to its first zero
// unit. Empty when the key or the value is missing or the value is empty.
std::wstring readMachineRegistryString(const std::wstring& keyPath, const std::wstring& valueName);

// --- Dynamic libraries ---
struct LoadResult {
    ModuleHandle module = nullptr;
    // True when the load failed because the file or a library it depends on was not found
    // (ERROR_MOD_NOT_FOUND on Windows): the one failure worth a retry from the library's folder.
    bool isModuleNotFound = false;
};
LoadResult loadLibrary(const std::wstring& path);
void* findSymbol(ModuleHandle module, const char* name);
void freeLibrary(ModuleHandle module);
// The system's file name of a shared library called `baseName` ("sane" gives "sane.dll" on Windows,
// "libsane.so" elsewhere).
std::wstring sharedLibraryFileName(const std::wstring& baseName);
// The data source manager libraries to try, in order, when no entry point was handed over.
const wchar_t* const* dataSourceManagerLibraryNames(); // null-terminated list

// --- Paths and files ---
constexpr wchar_t kPathSeparator =
#if defined(_WIN32)
    L'\\';
#else
    L'/';
#endif
std::wstring currentDirectory();
bool setCurrentDirectory(const std::wstring& directory);
// The module that holds the platform code itself. On Windows the platform is linked statically, so
// that is the data source's own DLL; elsewhere it is the shared platform library, NOT its caller.
// Code that wants the module it lives in passes one of its own functions to moduleContaining.
ModuleHandle thisModule();
// The module whose image contains `address` (a function or static object), or null.
ModuleHandle moduleContaining(const void* address);
// A module's full file path (the executable's for a null module); empty when it is unknown.
std::wstring moduleFilePath(ModuleHandle module);
// GetPrivateProfileInt: the integer `key` of `[section]` in the INI file at `path`, or `fallback`.
int readIniInt(const std::wstring& path, const std::wstring& section, const std::wstring& key, int fallback);
// Paths in the ANSI code page, as the file transfer receives them from the application.
bool moveFile(const std::string& from, const std::string& to);
bool deleteFile(const std::string& path);
// The system's folder for temporary files, with a trailing separator, in the ANSI code page.
std::string temporaryDirectory();
void sleepMilliseconds(uint32_t milliseconds);

// --- Global memory (moveable, zero-filled blocks, as GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT)) ---
GlobalHandle globalAllocate(uint32_t size);
void* globalLock(GlobalHandle handle);
void globalUnlock(GlobalHandle handle);
void globalFree(GlobalHandle handle);

// --- Text ---
// The process's ANSI code page <-> UTF-16, and UTF-8 <-> UTF-16. A conversion the system refuses
// yields an empty string.
std::u16string utf8ToUtf16(const std::string& text);
std::string utf16ToUtf8(const std::u16string& text);
std::string utf16ToAcp(const std::u16string& text);
std::u16string acpToUtf16(const std::string& text);
// Wide strings (paths) to and from UTF-8.
std::string wideToUtf8(const std::wstring& text);
std::wstring utf8ToWide(const std::string& text);

} // namespace platform
