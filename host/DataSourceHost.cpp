#include "host/DataSourceHost.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

namespace host {

using namespace Twpp;

namespace {
struct Block {
    uint32_t size;
    uint32_t lockCount;
};
std::set<Handle>& liveHandles() {
    static std::set<Handle> handles;
    return handles;
}
std::map<uint32_t, Application*>& applications() {
    static std::map<uint32_t, Application*> apps;
    return apps;
}
} // namespace

MemoryCounters& memoryCounters() {
    static MemoryCounters counters;
    return counters;
}

Handle TWPP_CALLSTYLE hostAllocate(uint32_t size) {
    void* block = std::calloc(1, sizeof(Block) + size);
    if (!block)
        return nullptr;
    static_cast<Block*>(block)->size = size;
    ++memoryCounters().allocations;
    liveHandles().insert(block);
    return block;
}

void TWPP_CALLSTYLE hostFree(Handle handle) {
    // A handle the manager never gave out, or one freed twice, is a fault of the caller: count it as
    // a free of nothing and leave the memory alone, so the test that asks sees the count.
    if (!handle || liveHandles().erase(handle) == 0)
        return;
    ++memoryCounters().frees;
    std::free(handle);
}

MemRef TWPP_CALLSTYLE hostLock(Handle handle) {
    if (!isLiveHostHandle(handle))
        return nullptr;
    ++memoryCounters().locks;
    ++static_cast<Block*>(handle)->lockCount;
    return static_cast<uint8_t*>(handle) + sizeof(Block);
}

void TWPP_CALLSTYLE hostUnlock(Handle handle) {
    if (!isLiveHostHandle(handle))
        return;
    ++memoryCounters().unlocks;
    --static_cast<Block*>(handle)->lockCount;
}

bool isLiveHostHandle(Handle handle) { return handle && liveHandles().count(handle) != 0; }

DataSourceLibrary::DataSourceLibrary(const std::wstring& path) {
    m_module = platform::loadLibrary(path).module;
    if (m_module)
        m_entry = reinterpret_cast<DSENTRYPROC>(platform::findSymbol(m_module, "DS_Entry"));
}

DataSourceLibrary::~DataSourceLibrary() {
    if (m_module)
        platform::freeLibrary(m_module);
}

Application::Application(DataSourceLibrary& library, uint32_t id) : m_library(library) {
    m_identity.Id = id;
    m_identity.Version.MajorNum = 1;
    m_identity.ProtocolMajor = 2;
    m_identity.ProtocolMinor = 3;
    m_identity.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_APP2;
    std::strcpy(m_identity.Manufacturer, "Tarsin Test");
    std::strcpy(m_identity.ProductFamily, "Harness");
    std::strcpy(m_identity.ProductName, "Harness Application");
    m_sourceIdentity.Id = id + 1000;
    applications()[id] = this;
}

Application::~Application() { applications().erase(m_identity.Id); }

uint16_t Application::call(uint32_t dg, uint16_t dat, uint16_t msg, void* data) {
    return m_library.entry()(&m_identity, dg, dat, msg, data);
}

uint16_t Application::condition() {
    TW_STATUS status{};
    call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

TW_ENTRYPOINT Application::hostEntryPoint() {
    TW_ENTRYPOINT entryPoint{};
    entryPoint.Size = sizeof entryPoint;
    entryPoint.DSM_Entry = &Application::dsmEntry;
    entryPoint.DSM_MemAllocate = hostAllocate;
    entryPoint.DSM_MemFree = hostFree;
    entryPoint.DSM_MemLock = hostLock;
    entryPoint.DSM_MemUnlock = hostUnlock;
    return entryPoint;
}

uint16_t Application::sendEntryPoint() { return sendEntryPoint(hostEntryPoint()); }

uint16_t Application::sendEntryPoint(const TW_ENTRYPOINT& entryPoint) {
    TW_ENTRYPOINT copy = entryPoint;
    return call(DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &copy);
}

uint16_t Application::open() {
    sendEntryPoint();
    return call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_sourceIdentity);
}

uint16_t Application::close() { return call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &m_sourceIdentity); }

uint16_t Application::capability(uint16_t msg, TW_CAPABILITY& cap) {
    return call(DG_CONTROL, DAT_CAPABILITY, msg, &cap);
}

void Application::freeContainer(TW_CAPABILITY& cap) {
    if (!cap.hContainer)
        return;
    if (isLiveHostHandle(cap.hContainer))
        hostFree(cap.hContainer);
    else
        platform::globalFree(cap.hContainer);
    cap.hContainer = nullptr;
}

uint16_t TWPP_CALLSTYLE Application::dsmEntry(TW_IDENTITY* origin, TW_IDENTITY* dest, uint32_t dg,
                                              uint16_t dat, uint16_t msg, MemRef) {
    if (!origin || !dest || dg != DG_CONTROL || dat != DAT_NULL)
        return TWRC_FAILURE;
    const auto found = applications().find(dest->Id);
    if (found == applications().end())
        return TWRC_FAILURE;
    Application& app = *found->second;
    app.m_notifications.push_back({origin->Id, dest->Id, msg});
    return app.m_notificationAnswer;
}

std::wstring programDirectory() {
    static const int kAnchor = 0;
    const std::wstring path = platform::moduleFilePath(platform::moduleContaining(&kAnchor));
    const std::size_t separator = path.find_last_of(platform::kPathSeparator);
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

std::wstring dataSourcePath() { return programDirectory() + platform::kPathSeparator + L"tarsintwain.ds"; }

} // namespace host
