#include "tests/support/SourceFixture.h"

#include "platform/Platform.h"
#include "platform/PlatformTesting.h"

#include <cstdlib>
#include <fstream>

namespace testsupport {

using namespace Twpp;

uint32_t SourceTest::s_nextId = 100;

namespace {
// One registry stand-in file per test program, before anything reads it.
struct Environment {
    Environment() {
        const std::string scratch = scratchDirectory();
        // Windows keeps the real registry (in the test prefix); the stand-in file is per program.
        platform::testing::setEnvironmentVariable("TARSIN_REGISTRY", scratch + "registry.ini");
    }
};
} // namespace

std::string scratchDirectory() {
    static const std::string directory = platform::testing::makeTemporaryDirectory("tarsin-test-");
    return directory;
}

std::wstring backendDirectory() { return host::programDirectory(); }

void setBackendDirectory(const std::optional<std::wstring>& directory) {
    platform::testing::writeMachineRegistryString(L"SOFTWARE\\TarsinScan", L"AppDirectory", directory);
}

void useProfile(const std::string& nameOrJson) {
    std::string value = nameOrJson;
    if (!nameOrJson.empty() && nameOrJson.front() == '{') {
        static int counter = 0;
        value = scratchDirectory() + "profile-" + std::to_string(++counter) + ".json";
        std::ofstream(value) << nameOrJson;
    }
    platform::testing::setEnvironmentVariable("TARSIN_SIM_PROFILE", value);
}

SimulatedBackend& SimulatedBackend::instance() {
    static SimulatedBackend backend = [] {
        SimulatedBackend sim;
        const std::wstring path =
            backendDirectory() + platform::kPathSeparator + platform::sharedLibraryFileName(L"sane");
        platform::ModuleHandle module = platform::loadLibrary(path).module; // kept for the whole program
        if (!module)
            return sim;
        sim.liveScanners =
            reinterpret_cast<SimLiveScannersFn>(platform::findSymbol(module, "sim_live_scanners"));
        sim.liveImages = reinterpret_cast<SimLiveImagesFn>(platform::findSymbol(module, "sim_live_images"));
        sim.pendingImages =
            reinterpret_cast<SimPendingImagesFn>(platform::findSymbol(module, "sim_pending_images"));
        sim.journal = reinterpret_cast<SimJournalFn>(platform::findSymbol(module, "sim_journal"));
        sim.clearJournal =
            reinterpret_cast<SimClearJournalFn>(platform::findSymbol(module, "sim_clear_journal"));
        return sim;
    }();
    return backend;
}

host::DataSourceLibrary& SourceTest::library() {
    static Environment environment;
    static host::DataSourceLibrary dataSource(host::dataSourcePath());
    return dataSource;
}

void SourceTest::SetUp() {
    ASSERT_TRUE(library().isLoaded()) << "the data source was not found beside the test program";
    setBackendDirectory(backendDirectory());
    useProfile("default");
    ASSERT_NE(SimulatedBackend::instance().liveScanners, nullptr) << "the simulated backend was not found";
    SimulatedBackend::instance().clearJournal();
    m_liveAtStart = host::memoryCounters().live();
    m_app = std::make_unique<host::Application>(library(), s_nextId++);
}

void SourceTest::TearDown() {
    m_app->freeContainer(m_answer);
    // Close whatever the test left open, so the next test starts from a clean registry.
    TW_USERINTERFACE ui{};
    m_app->call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    m_app->close();
    m_app.reset();
    if (!m_checkLeaks)
        return;
    EXPECT_EQ(host::memoryCounters().live(), m_liveAtStart) << "manager memory left allocated";
    EXPECT_EQ(host::memoryCounters().lockDepth(), 0u) << "manager memory left locked";
    EXPECT_EQ(SimulatedBackend::instance().liveScanners(), 0) << "scanner object not released";
    EXPECT_EQ(SimulatedBackend::instance().liveImages(), 0) << "image object not released";
}

std::unique_ptr<host::Application> SourceTest::makeApplication() {
    return std::make_unique<host::Application>(library(), s_nextId++);
}

void SourceTest::openSource() { ASSERT_EQ(m_app->open(), TWRC_SUCCESS) << "condition " << condition(); }

uint16_t SourceTest::capability(uint16_t msg, uint16_t cap) {
    m_app->freeContainer(m_answer);
    m_answer = TW_CAPABILITY{cap, TWON_DONTCARE16, nullptr};
    return m_app->capability(msg, m_answer);
}

std::string SourceTest::journal() { return SimulatedBackend::instance().journal(); }

} // namespace testsupport
