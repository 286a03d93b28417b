// Capability negotiation as an application sweeps it: every id that CAP_SUPPORTEDCAPS lists asked
// with MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT and MSG_QUERYSUPPORT through DS_Entry, against the
// simulated default device, each answer's container freed as an application would.
#include "host/DataSourceHost.h"
#include "platform/PlatformTesting.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using namespace Twpp;

// Points the source at the simulated backend beside this program, once.
host::DataSourceLibrary& dataSource() {
    static host::DataSourceLibrary* library = [] {
        const std::string scratch = platform::testing::makeTemporaryDirectory("tarsin-bench-");
        platform::testing::setEnvironmentVariable("TARSIN_REGISTRY", scratch + "registry.ini");
        platform::testing::writeMachineRegistryString(L"SOFTWARE\\TarsinScan", L"AppDirectory",
                                                      host::programDirectory());
        platform::testing::setEnvironmentVariable("TARSIN_SIM_PROFILE", "default");
        return new host::DataSourceLibrary(host::dataSourcePath());
    }();
    return *library;
}

std::vector<uint16_t> supportedCaps(host::Application& app) {
    TW_CAPABILITY list{CAP_SUPPORTEDCAPS, TWON_DONTCARE16, nullptr};
    std::vector<uint16_t> ids;
    if (app.capability(MSG_GET, list) != TWRC_SUCCESS)
        return ids;
    const auto* bytes = static_cast<const uint8_t*>(host::hostLock(list.hContainer));
    uint32_t count = 0;
    std::memcpy(&count, bytes + 2, 4);
    ids.resize(count);
    std::memcpy(ids.data(), bytes + 6, count * sizeof(uint16_t));
    host::hostUnlock(list.hContainer);
    app.freeContainer(list);
    return ids;
}

void BM_CapabilitySweep(benchmark::State& state) {
    host::DataSourceLibrary& library = dataSource();
    if (!library.isLoaded()) {
        state.SkipWithError("the data source was not found beside the benchmark");
        return;
    }
    host::Application app(library, 7);
    if (app.open() != TWRC_SUCCESS) {
        state.SkipWithError("the source did not open");
        return;
    }
    const std::vector<uint16_t> ids = supportedCaps(app);
    constexpr uint16_t kMessages[] = {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_QUERYSUPPORT};
    for (auto _ : state) {
        for (const uint16_t id : ids) {
            for (const uint16_t msg : kMessages) {
                TW_CAPABILITY cap{id, TWON_DONTCARE16, nullptr};
                benchmark::DoNotOptimize(app.capability(msg, cap));
                app.freeContainer(cap);
            }
        }
    }
    const double triplets = static_cast<double>(ids.size() * std::size(kMessages));
    state.counters["capabilities"] = static_cast<double>(ids.size());
    state.counters["triplets/s"] =
        benchmark::Counter(triplets * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["s/triplet"] =
        benchmark::Counter(triplets * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    app.close();
}
BENCHMARK(BM_CapabilitySweep)->Unit(benchmark::kMicrosecond);

} // namespace
