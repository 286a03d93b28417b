#pragma once

// The only place of the upgrade program that knows there is more than one system. CMake picks
// platform/win32 or platform/posix; everything above this header is the same on both.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace upgrade::platform {

// A string value of a key under HKEY_LOCAL_MACHINE, read through a buffer of bufferBytes bytes.
// Empty optional when the key or the value is missing or the value does not fit the buffer.
// POSIX systems read the registry stand-in: the INI-like file named by TARSIN_REGISTRY, default
// /etc/tarsin/registry.ini, whose sections are key paths ("[HKEY_LOCAL_MACHINE\SOFTWARE\...]").
std::optional<std::wstring> readMachineString(const std::wstring& keyPath, const std::wstring& valueName,
                                              std::size_t bufferBytes);

// The full image path of every running process, an empty string for a process that cannot be
// inspected. Empty optional when the processes cannot be listed at all.
std::optional<std::vector<std::wstring>> processImagePaths();

// Starts program with one argument and waits, without a time limit, until it has exited.
// Returns its exit code, or an empty optional when it could not be started. Never uses a shell.
std::optional<unsigned long> runAndWait(const std::string& program, const std::string& argument);

// Opens the file at path as the desktop would (for a program: starts it) and does not wait.
// Returns false when it could not be opened.
bool openDetached(const std::wstring& path);

} // namespace upgrade::platform
