// Registry, INI files, paths and files: the posix stand-ins for the Win32 calls the data source makes.
#include "platform/Platform.h"
#include "platform/posix/IniFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

std::wstring readMachineRegistryString(const std::wstring& keyPath, const std::wstring& valueName) {
    // Read anew on every call: tests rewrite the file between steps, and the registry has no cache either.
    const auto lines = posix::readIniLines(posix::registryFilePath());
    if (!lines)
        return {};
    const auto value =
        posix::findIniValue(*lines, posix::machineRegistrySection(keyPath), wideToUtf8(valueName));
    if (!value)
        return {};
    return utf8ToWide(value->substr(0, value->find('\0')));
}

int readIniInt(const std::wstring& path, const std::wstring& section, const std::wstring& key, int fallback) {
    const auto lines = posix::readIniLines(wideToUtf8(path));
    if (!lines)
        return fallback;
    const auto value = posix::findIniValue(*lines, wideToUtf8(section), wideToUtf8(key));
    if (!value)
        return fallback;
    std::string_view text = *value;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    // An empty value reads as no value at all; one that does not start with a number reads as 0.
    if (text.empty())
        return fallback;
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // The Windows function returns an unsigned number and wraps on overflow; callers see it as int.
    uint32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        number = number * 10u + static_cast<uint32_t>(c - '0');
    }
    return static_cast<int>(negative ? 0u - number : number);
}

std::wstring currentDirectory() {
    std::vector<char> buffer(256);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return utf8ToWide(buffer.data());
}

bool setCurrentDirectory(const std::wstring& directory) {
    const std::string path = wideToUtf8(directory);
    return !path.empty() && chdir(path.c_str()) == 0;
}

namespace {

// rename(2) cannot cross file systems; MoveFile can, by copying. The copy never replaces a file.
bool copyThenUnlink(const std::string& from, const std::string& to) {
    struct stat info {};
    if (stat(from.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
    if (out < 0) {
        close(in);
        return false;
    }
    bool ok = true;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        for (ssize_t done = 0; done < got && ok;) {
            const ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            ok = put > 0;
            done += put > 0 ? put : 0;
        }
        if (!ok)
            break;
    }
    close(in);
    if (close(out) != 0)
        ok = false;
    if (!ok) {
        unlink(to.c_str());
        return false;
    }
    return unlink(from.c_str()) == 0;
}

} // namespace

bool moveFile(const std::string& from, const std::string& to) {
    // MoveFile refuses to replace an existing file; rename(2) would silently do so. Code that works
    // here must also work on Windows, so the stand-in refuses too.
    struct stat info {};
    if (lstat(to.c_str(), &info) == 0 || errno != ENOENT)
        return false;
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    return errno == EXDEV && copyThenUnlink(from, to);
}

bool deleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

std::string temporaryDirectory() {
    const char* fromEnvironment = std::getenv("TMPDIR");
    std::string directory = fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp";
    if (directory.back() != '/')
        directory += '/';
    return directory;
}

void sleepMilliseconds(uint32_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    // A signal must not cut the wait short: callers poll hardware-like timings with it.
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

} // namespace platform
