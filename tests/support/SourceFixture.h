// A test application in front of the built data source, with the simulated scanner behind it.
//
// Each test gets a fresh application (a new identity Id) and a registry stand-in that points the
// source at the simulated backend beside the test program; the profile is chosen per test. The
// fixture checks at the end that the source left nothing behind: no container or handle of the
// manager's memory, no scanner or image object of the backend.
#pragma once

#include "host/DataSourceHost.h"
#include "simscanner/SimControl.h"
#include "twain/Twain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace testsupport {

// The simulated backend's diagnostics, from the same module the source binds.
struct SimulatedBackend {
    SimLiveScannersFn liveScanners = nullptr;
    SimLiveImagesFn liveImages = nullptr;
    SimPendingImagesFn pendingImages = nullptr;
    SimJournalFn journal = nullptr;
    SimClearJournalFn clearJournal = nullptr;
    static SimulatedBackend& instance();
};

std::wstring backendDirectory();
// Points the registry stand-in at the backend folder (or at `directory`); an empty optional removes
// the value.
void setBackendDirectory(const std::optional<std::wstring>& directory);
// Selects the simulated device: a built-in name, or a JSON text written to a temporary file.
void useProfile(const std::string& nameOrJson);
// The temporary folder of this test program.
std::string scratchDirectory();

class SourceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static host::DataSourceLibrary& library();
    host::Application& app() { return *m_app; }
    // A second application, opened by the test itself.
    std::unique_ptr<host::Application> makeApplication();

    // Opens the source (DAT_ENTRYPOINT, MSG_OPENDS) and expects success.
    void openSource();
    uint16_t call(uint32_t dg, uint16_t dat, uint16_t msg, void* data) {
        return m_app->call(dg, dat, msg, data);
    }
    uint16_t condition() { return m_app->condition(); }

    // Capability helpers: the answer's container is freed by the fixture at the next call or at the end.
    uint16_t capability(uint16_t msg, uint16_t cap);
    Twpp::TW_CAPABILITY& answer() { return m_answer; }
    // MSG_SET of a one value.
    template <typename T>
    uint16_t setOneValue(uint16_t cap, uint16_t itemType, T value);

    std::string journal();
    void useProfile(const std::string& nameOrJson) { testsupport::useProfile(nameOrJson); }

    bool m_checkLeaks = true;

private:
    std::unique_ptr<host::Application> m_app;
    Twpp::TW_CAPABILITY m_answer{};
    std::size_t m_liveAtStart = 0;
    static uint32_t s_nextId;
};

template <typename T>
uint16_t SourceTest::setOneValue(uint16_t cap, uint16_t itemType, T value) {
    using namespace Twpp;
    TW_CAPABILITY request{cap, TWON_ONEVALUE,
                          host::hostAllocate(static_cast<uint32_t>(2 + std::max<std::size_t>(4, sizeof(T))))};
    {
        auto* bytes = static_cast<uint8_t*>(host::hostLock(request.hContainer));
        std::memcpy(bytes, &itemType, 2);
        std::memcpy(bytes + 2, &value, sizeof(T));
        host::hostUnlock(request.hContainer);
    }
    const Handle own = request.hContainer;
    const uint16_t rc = m_app->capability(MSG_SET, request);
    // The application's own container is its to free, whatever the source did.
    EXPECT_TRUE(host::isLiveHostHandle(own));
    host::hostFree(own);
    if (request.hContainer != own)
        m_app->freeContainer(request);
    return rc;
}

} // namespace testsupport
