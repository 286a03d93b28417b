#pragma once

// Helpers shared by the upgrade program's tests: a scratch folder, environment overrides, the
// registry value of the scanning application, and copies of a small fake program that stand in
// for upgrade packages and for the scanning application.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace upgrade::test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// Sets (or with nullopt, removes) an environment variable and restores the old state.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

void setEnvironment(const std::string& name, const std::optional<std::string>& value);

// Makes the registry say that the scanning application lives at path (or, with nullopt, removes
// the value) for the lifetime of the object. On POSIX the registry stand-in is a file in folder.
class ScopedApplicationPath {
public:
    ScopedApplicationPath(const fs::path& folder, const std::optional<fs::path>& path);
    ~ScopedApplicationPath();
    ScopedApplicationPath(const ScopedApplicationPath&) = delete;
    ScopedApplicationPath& operator=(const ScopedApplicationPath&) = delete;

private:
    std::optional<ScopedEnvironment> m_registry; // POSIX only
};

// A copy of the fake program under a name of the test's choosing. Each run appends one line with
// its arguments to "<program>.runs", then sleeps for "<program>.sleepms" milliseconds and exits
// with the code in "<program>.exitcode" (default 0).
class FakeProgram {
public:
    FakeProgram(const fs::path& folder, const std::string& name);
    const fs::path& path() const { return m_path; }
    void setExitCode(int code) const;
    void setSleep(std::chrono::milliseconds duration) const;
    // One entry per run so far: the arguments joined by single spaces.
    std::vector<std::string> runs() const;

private:
    fs::path m_path;
};

// Polls condition until it holds or timeout passes; returns the last answer.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

std::string readFile(const fs::path& path);

} // namespace upgrade::test
