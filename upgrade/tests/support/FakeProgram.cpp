// Stand-in for an upgrade package and for the scanning application in the tests. It is a real
// program rather than a script so that the same tests can run it on Windows.

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace {
long readNumber(const std::string& path, long fallback) {
    std::ifstream file(path);
    long value = fallback;
    return file >> value ? value : fallback;
}
} // namespace

int main(int argc, char* argv[]) {
    const std::string self = argc > 0 ? argv[0] : "";
    {
        std::string line;
        for (int i = 1; i < argc; ++i)
            line += (i > 1 ? " " : "") + std::string(argv[i]);
        std::ofstream(self + ".runs", std::ios::app) << line << '\n';
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(readNumber(self + ".sleepms", 0)));
    return static_cast<int>(readNumber(self + ".exitcode", 0));
}
