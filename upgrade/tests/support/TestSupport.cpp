#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace upgrade::test {

TemporaryFolder::TemporaryFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("obupgrade-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name)) {
    if (const char* previous = std::getenv(m_name.c_str()))
        m_previous = previous;
    setEnvironment(m_name, value);
}

ScopedEnvironment::~ScopedEnvironment() { setEnvironment(m_name, m_previous); }

FakeProgram::FakeProgram(const fs::path& folder, const std::string& name) {
    const fs::path original(UPGRADE_FAKE_PROGRAM);
    m_path = folder / (name + original.extension().string());
    fs::copy_file(original, m_path, fs::copy_options::overwrite_existing);
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add);
}

void FakeProgram::setExitCode(int code) const { std::ofstream(m_path.string() + ".exitcode") << code; }

void FakeProgram::setSleep(std::chrono::milliseconds duration) const {
    std::ofstream(m_path.string() + ".sleepms") << duration.count();
}

std::vector<std::string> FakeProgram::runs() const {
    std::vector<std::string> lines;
    std::ifstream log(m_path.string() + ".runs");
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace upgrade::test
