// Loads the built simulated backend the way the data source does (dlopen of libsane, entry points by
// name) and gives each test a fresh profile, registry stand-in and journal.
#pragma once

#include "datasource/ScannerBackend.h"
#include "simscanner/SimControl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace simtest {

// The library's entry points, bound once per process: the library is never unloaded, as the data
// source under test would share the same module.
struct Backend {
    backend::InitializeFn initialize = nullptr;
    backend::UninitializeFn uninitialize = nullptr;
    backend::OpenScannerFn openScanner = nullptr;
    backend::IsScannerOnlineFn isScannerOnline = nullptr;
    SimLiveScannersFn liveScanners = nullptr;
    SimLiveImagesFn liveImages = nullptr;
    SimPendingImagesFn pendingImages = nullptr;
    SimJournalFn journal = nullptr;
    SimClearJournalFn clearJournal = nullptr;

    static const Backend& instance();
};

// One value as enum_option_values reported it.
struct Reported {
    double number = 0;
    std::string text;
    uint32_t flags = 0;
};

class SimBackendTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const Backend& lib() const { return Backend::instance(); }
    // Writes `json` as a profile file and selects it through the environment.
    void useProfile(const std::string& json);
    // Opens a scanner with the selected profile; fails the test when none is created.
    backend::ScannerObject& open();
    backend::ScannerObject& openWith(const std::string& json) {
        useProfile(json);
        return open();
    }

    int32_t index(int role) { return backend::callRoleGetter(*m_scanner, role); }
    std::vector<Reported> report(int role);
    int32_t setInteger(int role, int32_t value);
    int32_t setBoolean(int role, uint8_t value);
    // Scans and takes the next page as the given image kind (caller releases).
    backend::ImageObject* scanOne(int32_t kind);
    static std::vector<uint8_t> allBytes(backend::ImageObject& image);

    std::filesystem::path m_directory;
    backend::ScannerObject* m_scanner = nullptr;
};

} // namespace simtest
