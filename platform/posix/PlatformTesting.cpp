// Writing the registry stand-in's file and reading the allocator's counters, for tests and tools.
#include "platform/PlatformTesting.h"

#include "platform/Platform.h"
#include "platform/posix/GlobalMemory.h"
#include "platform/posix/IniFile.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace platform::testing {

namespace {

using posix::IniLineKind;

// Writes all lines to a file beside `path`, then renames it over `path`: a reader in another
// process never sees half a file.
void replaceFile(const std::string& path, const std::vector<std::string>& lines) {
    const std::filesystem::path target(path);
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path());
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines)
            out << line << '\n';
        out.flush();
        if (!out)
            throw std::runtime_error("cannot write the registry file " + temporary);
    }
    std::filesystem::rename(temporary, target);
}

} // namespace

void writeMachineRegistryString(const std::wstring& keyPath, const std::wstring& valueName,
                                const std::optional<std::wstring>& value) {
    const std::string path = posix::registryFilePath();
    const std::string section = posix::machineRegistrySection(keyPath);
    const std::string name = wideToUtf8(valueName);
    const std::string text = value ? wideToUtf8(*value) : std::string();
    if (value && text.find_first_of("\r\n") != std::string::npos)
        throw std::invalid_argument("the registry file holds one line per value");

    std::vector<std::string> lines = posix::readIniLines(path).value_or(std::vector<std::string>());
    // Every entry of the value (a hand-edited file may repeat one), and where a new one goes: after the
    // last entry of the first matching section, so blank lines and comments that introduce the next
    // section stay with it.
    std::vector<std::size_t> matches;
    std::size_t sectionsSeen = 0, insertAt = 0;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const posix::IniLine line = posix::parseIniLine(lines[i]);
        if (line.kind == IniLineKind::Section) {
            inSection = posix::equalsIgnoringCase(line.name, section);
            if (inSection && ++sectionsSeen == 1)
                insertAt = i + 1;
        } else if (inSection && line.kind == IniLineKind::Entry) {
            if (posix::equalsIgnoringCase(line.name, name))
                matches.push_back(i);
            if (sectionsSeen == 1)
                insertAt = i + 1;
        }
    }

    if (!value) {
        if (matches.empty())
            return;
        for (auto it = matches.rbegin(); it != matches.rend(); ++it)
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*it));
    } else if (!matches.empty()) {
        // The first entry is the one readers see; the spelling of its name stays as it was.
        const std::size_t equals = lines[matches.front()].find('=');
        lines[matches.front()] = lines[matches.front()].substr(0, equals + 1) + text;
    } else if (sectionsSeen) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), name + "=" + text);
    } else {
        if (!lines.empty() && !lines.back().empty())
            lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(name + "=" + text);
    }
    replaceFile(path, lines);
}

std::optional<GlobalMemoryStats> globalMemoryStats() {
    GlobalMemoryStats stats;
    tarsin_platform_global_memory_stats(&stats.liveHandles, &stats.lockedHandles);
    return stats;
}

void setEnvironmentVariable(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
}

std::string makeTemporaryDirectory(const std::string& prefix) {
    std::string pattern = platform::temporaryDirectory() + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::system_error(errno, std::generic_category(), "cannot create " + pattern);
    return pattern + "/";
}

} // namespace platform::testing
