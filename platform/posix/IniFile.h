// The text file that stands in for the registry and the INI files read like GetPrivateProfileInt
// share one line format, parsed here. Internal to the posix platform (and its testing library).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

enum class IniLineKind { Blank, Comment, Section, Entry, Other };

struct IniLine {
    IniLineKind kind = IniLineKind::Other;
    std::string_view name;  // section name (without brackets) or entry name, both trimmed
    std::string_view value; // Entry only: everything after the first '=', untrimmed
};

// Classifies one line (already without its '\n' and trailing '\r'). The views point into `line`.
IniLine parseIniLine(std::string_view line);

// The file's lines without line ends, or nothing when it cannot be read.
std::optional<std::vector<std::string>> readIniLines(const std::string& path);

// ASCII case-insensitive, as the registry and the profile functions compare names.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The value of the first `name` entry in any `[section]` of `lines`.
std::optional<std::string> findIniValue(const std::vector<std::string>& lines, std::string_view section,
                                        std::string_view name);

// The registry stand-in's file: $TARSIN_REGISTRY, or /etc/tarsin/registry.ini.
std::string registryFilePath();
// The section that holds HKEY_LOCAL_MACHINE\<keyPath>.
std::string machineRegistrySection(const std::wstring& keyPath);

} // namespace platform::posix
