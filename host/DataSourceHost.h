// An application and its data source manager, in one: loads a data source library with the
// platform's loader, calls its DS_Entry as an application would, and answers as the DSM (DSM_Entry for
// notifications, four memory functions that count what they hand out). Used by the tests, the
// scanning tool and the benchmarks.
#pragma once

#include "platform/Platform.h"
#include "twain/Twain.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace host {

// The manager's memory: every handle it gives out, how often it was locked and whether it was freed.
struct MemoryCounters {
    std::size_t allocations = 0;
    std::size_t frees = 0;
    std::size_t locks = 0;
    std::size_t unlocks = 0;
    std::size_t live() const { return allocations - frees; }
    std::size_t lockDepth() const { return locks - unlocks; }
};
MemoryCounters& memoryCounters();
// The manager's four memory functions, for the entry point record and for freeing containers.
Twpp::Handle TWPP_CALLSTYLE hostAllocate(uint32_t size);
void TWPP_CALLSTYLE hostFree(Twpp::Handle handle);
Twpp::MemRef TWPP_CALLSTYLE hostLock(Twpp::Handle handle);
void TWPP_CALLSTYLE hostUnlock(Twpp::Handle handle);
// Whether a handle is one the manager allocated and has not freed.
bool isLiveHostHandle(Twpp::Handle handle);

// The data source library, loaded once.
class DataSourceLibrary {
public:
    explicit DataSourceLibrary(const std::wstring& path);
    ~DataSourceLibrary();
    DataSourceLibrary(const DataSourceLibrary&) = delete;
    DataSourceLibrary& operator=(const DataSourceLibrary&) = delete;

    bool isLoaded() const { return m_entry != nullptr; }
    Twpp::DSENTRYPROC entry() const { return m_entry; }

private:
    platform::ModuleHandle m_module = nullptr;
    Twpp::DSENTRYPROC m_entry = nullptr;
};

struct Notification {
    uint32_t sourceId;
    uint32_t destinationId;
    uint16_t msg;
};

// One application talking to the source through DS_Entry.
class Application {
public:
    Application(DataSourceLibrary& library, uint32_t id);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Twpp::TW_IDENTITY& identity() { return m_identity; }
    // The source's identity as the DSM hands it over with MSG_OPENDS.
    Twpp::TW_IDENTITY& sourceIdentity() { return m_sourceIdentity; }

    uint16_t call(uint32_t dg, uint16_t dat, uint16_t msg, void* data);
    // DAT_STATUS MSG_GET: the condition of the previous call.
    uint16_t condition();
    // DAT_ENTRYPOINT MSG_SET with the manager's DSM_Entry and memory functions.
    uint16_t sendEntryPoint();
    uint16_t sendEntryPoint(const Twpp::TW_ENTRYPOINT& entryPoint);
    // DAT_ENTRYPOINT, then MSG_OPENDS.
    uint16_t open();
    uint16_t close();

    // Capability helpers: answer containers are freed by the caller with freeContainer.
    uint16_t capability(uint16_t msg, Twpp::TW_CAPABILITY& cap);
    void freeContainer(Twpp::TW_CAPABILITY& cap);

    // Notifications the source sent to this application, and what the manager answers them.
    std::vector<Notification>& notifications() { return m_notifications; }
    void setNotificationAnswer(uint16_t rc) { m_notificationAnswer = rc; }

    static Twpp::TW_ENTRYPOINT hostEntryPoint();

private:
    static uint16_t TWPP_CALLSTYLE dsmEntry(Twpp::TW_IDENTITY* origin, Twpp::TW_IDENTITY* dest, uint32_t dg,
                                            uint16_t dat, uint16_t msg, Twpp::MemRef data);

    DataSourceLibrary& m_library;
    Twpp::TW_IDENTITY m_identity{};
    Twpp::TW_IDENTITY m_sourceIdentity{};
    std::vector<Notification> m_notifications;
    uint16_t m_notificationAnswer = Twpp::TWRC_SUCCESS;
};

// Where the built data source and backend live: beside the running program.
std::wstring programDirectory();
std::wstring dataSourcePath();

} // namespace host
