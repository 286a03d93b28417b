// Transfer throughput through DS_Entry against the simulated scanner: one A4 300 dpi colour page
// (2480 x 3508, 24 bits) per iteration, beside the plain copies that bound it. The page is rendered
// once up front (the simulator caches it), so the numbers are the source's own copying.
#include "host/DataSourceHost.h"
#include "platform/Platform.h"
#include "platform/PlatformTesting.h"
#include "twain/Twain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace Twpp;

namespace {

constexpr std::size_t kPageBytes = std::size_t(2480) * 3 * 3508;

struct Session {
    std::unique_ptr<host::DataSourceLibrary> library;
    std::unique_ptr<host::Application> app;
    std::string scratch;
};

Session& session() {
    static Session s = [] {
        Session created;
        created.scratch = platform::testing::makeTemporaryDirectory("tarsin-bench-");
        const std::string registry = created.scratch + "registry.ini";
        std::ofstream(registry) << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TarsinScan]\nAppDirectory="
                                << platform::wideToUtf8(host::programDirectory()) << "\n";
        platform::testing::setEnvironmentVariable("TARSIN_REGISTRY", registry);
        // One sheet per job, simplex, 300 dpi colour A4: every job scans the same page, which the
        // simulator renders once and then hands out from its cache.
        const std::string profile = created.scratch + "a4-300.json";
        std::ofstream(profile) << R"({"base": "default", "feeder": {"loaded": true, "sheets": 1},
            "fileTransfer": "bytes", "options": {"24": {"default": 300}, "57": {"default": 2},
            "59": {"default": 1}, "64": {"default": false}}})";
        platform::testing::setEnvironmentVariable("TARSIN_SIM_PROFILE", profile);
        created.library = std::make_unique<host::DataSourceLibrary>(host::dataSourcePath());
        created.app = std::make_unique<host::Application>(*created.library, 7);
        return created;
    }();
    return s;
}

// The manager memory of the native benchmark: one block, recycled from page to page, so that the
// figure is the source's copy into warm memory (as BM_Memcpy's) and not the kernel's first touch
// of a fresh 26 MB block, which a real manager pays, or not, depending on its heap.
struct RecycledBlock {
    std::vector<uint8_t> bytes;
    bool isHandedOut = false;
};
RecycledBlock& recycledBlock() {
    static RecycledBlock block;
    return block;
}
Handle TWPP_CALLSTYLE recycledAllocate(uint32_t size) {
    RecycledBlock& block = recycledBlock();
    if (block.isHandedOut)
        return nullptr;
    if (block.bytes.size() < size)
        block.bytes.assign(size, 0);
    block.isHandedOut = true;
    return &block;
}
void TWPP_CALLSTYLE recycledFree(Handle) { recycledBlock().isHandedOut = false; }
MemRef TWPP_CALLSTYLE recycledLock(Handle handle) {
    return static_cast<RecycledBlock*>(handle)->bytes.data();
}
void TWPP_CALLSTYLE recycledUnlock(Handle) {}

// An open, enabled source with a page ready (state 6).
class ReadySource {
public:
    explicit ReadySource(benchmark::State& state,
                         const TW_ENTRYPOINT& memory = host::Application::hostEntryPoint())
        : m_app(*session().app) {
        m_app.sendEntryPoint(memory);
        if (m_app.call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_app.sourceIdentity()) != TWRC_SUCCESS)
            state.SkipWithError("cannot open the data source");
        TW_USERINTERFACE ui{};
        if (m_app.call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS)
            state.SkipWithError("cannot enable the data source");
        nextPage(state);
    }
    ~ReadySource() {
        TW_USERINTERFACE ui{};
        m_app.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
        m_app.close();
    }
    void nextPage(benchmark::State& state) {
        for (int i = 0; i < 100; ++i) {
            TW_EVENT event{};
            m_app.call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
            for (const host::Notification& n : m_app.notifications())
                if (n.msg == MSG_XFERREADY) {
                    m_app.notifications().clear();
                    return;
                }
            m_app.notifications().clear();
        }
        state.SkipWithError("no page");
    }
    // MSG_ENDXFER, the end of the one-page job, and a new job up to its page (state 6).
    void endTransfer(benchmark::State& state) {
        TW_PENDINGXFERS pending{};
        m_app.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
        if (pending.Count != 0)
            return;
        for (int i = 0; i < 100; ++i) {
            TW_EVENT event{};
            m_app.call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
            bool closed = false;
            for (const host::Notification& n : m_app.notifications())
                closed = closed || n.msg == MSG_CLOSEDSOK;
            m_app.notifications().clear();
            if (closed)
                break;
        }
        TW_USERINTERFACE ui{};
        m_app.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
        if (m_app.call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS)
            state.SkipWithError("cannot enable the data source again");
        nextPage(state);
    }
    host::Application& app() { return m_app; }

private:
    host::Application& m_app;
};

void BM_Memcpy(benchmark::State& state) {
    std::vector<uint8_t> from(kPageBytes, 0x5A), to(kPageBytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kPageBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPageBytes));
}

void BM_Write(benchmark::State& state) {
    std::vector<uint8_t> page(kPageBytes, 0x5A);
    // The folder the file transfer writes to.
    const std::string path = session().scratch + "write.bmp";
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        const std::size_t written = std::fwrite(page.data(), 1, page.size(), file);
        std::fclose(file);
        if (written != page.size())
            state.SkipWithError("short write");
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPageBytes));
}

void BM_MemoryTransfer(benchmark::State& state) {
    ReadySource source(state);
    TW_SETUPMEMXFER setup{};
    source.app().call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
    // The largest buffer the source announces: the whole page in one strip, as fast applications do.
    std::vector<uint8_t> buffer(setup.MaxBufSize);
    int64_t bytes = 0;
    for (auto _ : state) {
        for (;;) {
            TW_IMAGEMEMXFER strip{};
            strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, uint32_t(buffer.size()), buffer.data()};
            const uint16_t rc = source.app().call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
            bytes += strip.BytesWritten;
            if (rc == TWRC_XFERDONE)
                break;
            if (rc != TWRC_SUCCESS) {
                state.SkipWithError("memory transfer failed");
                return;
            }
        }
        state.PauseTiming();
        source.endTransfer(state);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(bytes);
}

void BM_NativeTransfer(benchmark::State& state) {
    TW_ENTRYPOINT recycling = host::Application::hostEntryPoint();
    recycling.DSM_MemAllocate = recycledAllocate;
    recycling.DSM_MemFree = recycledFree;
    recycling.DSM_MemLock = recycledLock;
    recycling.DSM_MemUnlock = recycledUnlock;
    ReadySource source(state, recycling);
    // The handle is given back outside the timing.
    int64_t bytes = 0;
    for (auto _ : state) {
        Handle handle = nullptr;
        if (source.app().call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle) != TWRC_XFERDONE) {
            state.SkipWithError("native transfer failed");
            return;
        }
        bytes += int64_t(kPageBytes);
        state.PauseTiming();
        recycledFree(handle);
        source.endTransfer(state);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(bytes);
}

void BM_FileTransfer(benchmark::State& state) {
    ReadySource source(state);
    const std::string path = session().scratch + "transfer.bmp";
    TW_SETUPFILEXFER setup{};
    std::memcpy(setup.FileName, path.c_str(), path.size());
    setup.Format = TWFF_BMP;
    source.app().call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup);
    int64_t bytes = 0;
    for (auto _ : state) {
        if (source.app().call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr) != TWRC_XFERDONE) {
            state.SkipWithError("file transfer failed");
            return;
        }
        bytes += int64_t(kPageBytes);
        state.PauseTiming();
        source.endTransfer(state);
        state.ResumeTiming();
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(bytes);
}

} // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryTransfer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NativeTransfer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileTransfer)->Unit(benchmark::kMillisecond);
