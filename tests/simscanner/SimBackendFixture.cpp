#include "SimBackendFixture.h"

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace simtest {

namespace {

template <typename Function>
Function bind(void* module, const char* name) {
    void* symbol = dlsym(module, name);
    if (!symbol)
        throw std::runtime_error(std::string("libsane lacks ") + name);
    return reinterpret_cast<Function>(symbol);
}

bool collect(const void* value, uint32_t flags, void* collector) {
    auto& context = *static_cast<std::pair<std::vector<Reported>*, int32_t>*>(collector);
    Reported reported;
    reported.flags = flags;
    switch (context.second) {
    case backend::kValueBoolean:
        reported.number = *static_cast<const uint8_t*>(value);
        break;
    case backend::kValueInteger:
        reported.number = *static_cast<const int32_t*>(value);
        break;
    case backend::kValueFixed:
        reported.number = *static_cast<const float*>(value);
        break;
    default:
        reported.text = *static_cast<const std::string*>(value);
    }
    context.first->push_back(reported);
    return true;
}

} // namespace

const Backend& Backend::instance() {
    static const Backend backend = [] {
        void* module = dlopen(SIM_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!module)
            throw std::runtime_error(std::string("cannot load ") + SIM_LIBRARY_PATH + ": " + dlerror());
        Backend bound;
        bound.initialize = bind<backend::InitializeFn>(module, "initialize");
        bound.uninitialize = bind<backend::UninitializeFn>(module, "uninitialize");
        bound.openScanner = bind<backend::OpenScannerFn>(module, "open_scanner");
        bound.isScannerOnline = bind<backend::IsScannerOnlineFn>(module, "is_scanner_online");
        bound.liveScanners = bind<SimLiveScannersFn>(module, "sim_live_scanners");
        bound.liveImages = bind<SimLiveImagesFn>(module, "sim_live_images");
        bound.pendingImages = bind<SimPendingImagesFn>(module, "sim_pending_images");
        bound.journal = bind<SimJournalFn>(module, "sim_journal");
        bound.clearJournal = bind<SimClearJournalFn>(module, "sim_clear_journal");
        return bound;
    }();
    return backend;
}

void SimBackendTest::SetUp() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    m_directory = std::filesystem::temp_directory_path() /
                  ("simscanner-" + std::string(test->test_suite_name()) + "-" + test->name());
    std::filesystem::remove_all(m_directory);
    std::filesystem::create_directories(m_directory);
    // An empty registry stand-in of our own: nothing the machine holds can pick the profile.
    setenv("TARSIN_REGISTRY", (m_directory / "registry.ini").c_str(), 1);
    unsetenv("TARSIN_SIM_PROFILE");
    lib().clearJournal();
}

void SimBackendTest::TearDown() {
    if (m_scanner)
        m_scanner->release();
    m_scanner = nullptr;
    EXPECT_EQ(lib().liveScanners(), 0);
    EXPECT_EQ(lib().liveImages(), 0);
    unsetenv("TARSIN_SIM_PROFILE");
    unsetenv("TARSIN_REGISTRY");
    std::error_code ignored;
    std::filesystem::remove_all(m_directory, ignored);
}

void SimBackendTest::useProfile(const std::string& json) {
    const std::filesystem::path path = m_directory / "profile.json";
    std::ofstream(path) << json;
    setenv("TARSIN_SIM_PROFILE", path.c_str(), 1);
}

backend::ScannerObject& SimBackendTest::open() {
    if (m_scanner)
        m_scanner->release();
    m_scanner = nullptr;
    const int32_t status = lib().openScanner(backend::kDeviceModel, &m_scanner);
    if (status != 0 || !m_scanner)
        throw std::runtime_error("open_scanner answered " + std::to_string(status) + "; journal:\n" +
                                 lib().journal());
    return *m_scanner;
}

std::vector<Reported> SimBackendTest::report(int role) {
    std::vector<Reported> values;
    const int32_t optionIndex = index(role);
    int32_t valueType = 0;
    int32_t constraint = 0;
    if (!m_scanner->get_option_info(optionIndex, &valueType, &constraint, nullptr))
        return values;
    std::pair<std::vector<Reported>*, int32_t> context{&values, valueType};
    m_scanner->enum_option_values(optionIndex, collect, &context);
    return values;
}

int32_t SimBackendTest::setInteger(int role, int32_t value) {
    return m_scanner->set_option_value(index(role), &value);
}

int32_t SimBackendTest::setBoolean(int role, uint8_t value) {
    return m_scanner->set_option_value(index(role), &value);
}

backend::ImageObject* SimBackendTest::scanOne(int32_t kind) {
    // A job runs until its pages are taken; start one only when the current one has no page left.
    if (!m_scanner->wait_image(-1) && (m_scanner->start_scan() != 0 || !m_scanner->wait_image(-1)))
        return nullptr;
    return m_scanner->take_image(kind);
}

std::vector<uint8_t> SimBackendTest::allBytes(backend::ImageObject& image) {
    std::vector<uint8_t> bytes;
    uint64_t offset = 0;
    while (offset < image.size()) {
        uint32_t length = static_cast<uint32_t>(image.size() - offset);
        const uint8_t* chunk = image.data_at(offset, &length);
        if (!chunk || length == 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + length);
        offset += length;
    }
    return bytes;
}

} // namespace simtest
