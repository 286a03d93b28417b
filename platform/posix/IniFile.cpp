#include "platform/posix/IniFile.h"

#include "platform/Platform.h"

#include <cstdlib>
#include <fstream>

namespace platform::posix {

namespace {

std::string_view trim(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

IniLine parseIniLine(std::string_view line) {
    IniLine result;
    const std::string_view content = trim(line);
    if (content.empty()) {
        result.kind = IniLineKind::Blank;
    } else if (content.front() == '#' || content.front() == ';') {
        result.kind = IniLineKind::Comment;
    } else if (content.front() == '[') {
        // A header without its closing bracket still names a section, as the profile functions read it.
        std::string_view name = content.substr(1);
        if (const auto close = name.rfind(']'); close != std::string_view::npos)
            name = name.substr(0, close);
        result.kind = IniLineKind::Section;
        result.name = trim(name);
    } else if (const auto equals = line.find('='); equals != std::string_view::npos) {
        result.kind = IniLineKind::Entry;
        result.name = trim(line.substr(0, equals));
        result.value = line.substr(equals + 1);
    }
    return result;
}

std::optional<std::vector<std::string>> readIniLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        // Files edited on Windows keep their CR; values must not carry it.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::optional<std::string> findIniValue(const std::vector<std::string>& lines, std::string_view section,
                                        std::string_view name) {
    bool inSection = false;
    for (const std::string& text : lines) {
        const IniLine line = parseIniLine(text);
        if (line.kind == IniLineKind::Section)
            inSection = equalsIgnoringCase(line.name, section);
        else if (inSection && line.kind == IniLineKind::Entry && equalsIgnoringCase(line.name, name))
            return std::string(line.value);
    }
    return std::nullopt;
}

std::string registryFilePath() {
    const char* path = std::getenv("TARSIN_REGISTRY");
    return path && *path ? path : "/etc/tarsin/registry.ini";
}

std::string machineRegistrySection(const std::wstring& keyPath) {
    return "HKEY_LOCAL_MACHINE\\" + wideToUtf8(keyPath);
}

} // namespace platform::posix
