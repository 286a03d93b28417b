#include "TestSupport.h"

#include <fstream>

#include <stdlib.h>

namespace upgrade::test {

void setEnvironment(const std::string& name, const std::optional<std::string>& value) {
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
}

ScopedApplicationPath::ScopedApplicationPath(const fs::path& folder, const std::optional<fs::path>& path) {
    const fs::path registry = folder / "registry.ini";
    std::ofstream file(registry, std::ios::binary | std::ios::trunc);
    file << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\OmbrixScan]\n";
    if (path)
        file << "Application=" << path->string() << "\n";
    m_registry.emplace("TARSIN_REGISTRY", registry.string());
}

ScopedApplicationPath::~ScopedApplicationPath() = default;

} // namespace upgrade::test
