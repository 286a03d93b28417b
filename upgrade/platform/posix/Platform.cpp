#include "platform/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

extern char** environ;

namespace upgrade::platform {
namespace {

constexpr char kDefaultRegistry[] = "/etc/tarsin/registry.ini";
constexpr char kMachineRoot[] = "HKEY_LOCAL_MACHINE\\";

std::wstring fromUtf8(const std::string& bytes) {
    std::wstring out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        char32_t code = length == 1   ? lead
                        : length == 2 ? lead & 0x1F
                        : length == 3 ? lead & 0x0F
                                      : lead & 0x07;
        bool valid = length != 0 && i + length <= bytes.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        out += valid ? static_cast<wchar_t>(code) : L'\xFFFD';
        i += valid ? length : 1;
    }
    return out;
}

std::string toUtf8(const std::wstring& text) {
    std::string out;
    for (wchar_t wide : text) {
        const auto code = static_cast<char32_t>(wide);
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::size_t utf16Units(const std::wstring& text) {
    std::size_t units = 0;
    for (wchar_t c : text)
        units += static_cast<char32_t>(c) > 0xFFFF ? 2 : 1;
    return units;
}

// Key and value names of the registry compare without regard to case.
bool sameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    return true;
}

std::wstring trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

void waitForChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

std::optional<std::wstring> readMachineString(const std::wstring& keyPath, const std::wstring& valueName,
                                              std::size_t bufferBytes) {
    const char* configured = std::getenv("TARSIN_REGISTRY");
    std::ifstream file(configured != nullptr && *configured != '\0' ? configured : kDefaultRegistry,
                       std::ios::binary);
    if (!file)
        return std::nullopt;
    const std::wstring wantedSection = fromUtf8(kMachineRoot) + keyPath;
    bool inSection = false;
    std::string raw;
    while (std::getline(file, raw)) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        const std::wstring line = fromUtf8(raw);
        const std::wstring bare = trimmed(line);
        if (bare.empty() || bare[0] == L'#' || bare[0] == L';')
            continue;
        if (bare.front() == L'[' && bare.back() == L']') {
            inSection = sameName(bare.substr(1, bare.size() - 2), wantedSection);
            continue;
        }
        const auto equals = line.find(L'=');
        if (!inSection || equals == std::wstring::npos ||
            !sameName(trimmed(line.substr(0, equals)), valueName))
            continue;
        std::wstring value = line.substr(equals + 1);
        // Same bound as a registry read: the value and its terminator must fit the buffer.
        if ((utf16Units(value) + 1) * 2 > bufferBytes)
            return std::nullopt;
        return value;
    }
    return std::nullopt;
}

std::optional<std::vector<std::wstring>> processImagePaths() {
    std::error_code error;
    std::filesystem::directory_iterator entries("/proc", error);
    if (error)
        return std::nullopt;
    std::vector<std::wstring> paths;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code linkError;
        const auto image = std::filesystem::read_symlink(entry.path() / "exe", linkError);
        paths.push_back(linkError ? std::wstring() : fromUtf8(image.string()));
    }
    return paths;
}

std::optional<unsigned long> runAndWait(const std::string& program, const std::string& argument) {
    std::string programCopy = program;
    std::string argumentCopy = argument;
    char* arguments[] = {programCopy.data(), argumentCopy.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0)
        return std::nullopt;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return std::nullopt;
    }
    if (WIFEXITED(status))
        return static_cast<unsigned long>(WEXITSTATUS(status));
    // Killed by a signal: report it as the shells do, never as success.
    return 128ul + static_cast<unsigned long>(WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

bool openDetached(const std::wstring& path) {
    std::string program = toUtf8(path);
    char* arguments[] = {program.data(), nullptr};
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    // Its own session, so that the application outlives us and our terminal.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int result = posix_spawn(&child, program.c_str(), nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0)
        return false;
    // Reap it whenever it ends so that no zombie stays behind while we still run.
    std::thread(waitForChild, child).detach();
    return true;
}

} // namespace upgrade::platform
