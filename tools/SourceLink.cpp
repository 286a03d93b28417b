#include "tools/SourceLink.h"

#include "host/DataSourceHost.h"
#include "platform/Platform.h"
#include "tools/ParentWindow.h"
#include "tools/TwainNames.h"

#include <cstring>

namespace scantool {

using namespace Twpp;

namespace {

constexpr uint32_t kToolId = 1;

// --- The tool is the manager ---

class DirectLink : public SourceLink {
public:
    explicit DirectLink(const std::wstring& path) : m_path(path) {}
    ~DirectLink() override { close(); }

    bool open(std::string& error) override {
        m_library = std::make_unique<host::DataSourceLibrary>(m_path);
        if (!m_library->isLoaded()) {
            error = "cannot load the data source " + platform::wideToUtf8(m_path);
            return false;
        }
        m_app = std::make_unique<host::Application>(*m_library, kToolId);
        std::strcpy(m_app->identity().ProductName, "tarsin-scan");
        if (m_app->open() != TWRC_SUCCESS) {
            error = "MSG_OPENDS failed: " + conditionName(m_app->condition());
            m_app.reset();
            return false;
        }
        return true;
    }
    void close() override {
        if (m_app) {
            m_app->close();
            m_app.reset();
        }
    }
    uint16_t call(uint32_t dg, uint16_t dat, uint16_t msg, void* data) override {
        return m_app->call(dg, dat, msg, data);
    }
    uint16_t condition() override { return m_app->condition(); }
    std::vector<uint16_t> takeNotifications() override {
        std::vector<uint16_t> messages;
        for (const host::Notification& notification : m_app->notifications())
            messages.push_back(notification.msg);
        m_app->notifications().clear();
        return messages;
    }
    Handle allocate(uint32_t size) override { return host::hostAllocate(size); }
    void* lock(Handle handle) override { return host::hostLock(handle); }
    void unlock(Handle handle) override { host::hostUnlock(handle); }
    void free(Handle handle) override { host::hostFree(handle); }

private:
    std::wstring m_path;
    std::unique_ptr<host::DataSourceLibrary> m_library;
    std::unique_ptr<host::Application> m_app;
};

// --- The system's manager ---

#pragma pack(push, 2)
struct CallbackRecord {
    void* callBackProc;
    uint32_t refCon;
    uint16_t message;
};
#pragma pack(pop)

std::vector<uint16_t>& systemNotifications() {
    static std::vector<uint16_t> messages;
    return messages;
}

uint16_t TWPP_CALLSTYLE notificationCallback(TW_IDENTITY*, TW_IDENTITY*, uint32_t, uint16_t, uint16_t msg,
                                             MemRef) {
    systemNotifications().push_back(msg);
    return TWRC_SUCCESS;
}

class SystemLink : public SourceLink {
public:
    explicit SystemLink(std::string productName) : m_productName(std::move(productName)) {
        m_app.Version.MajorNum = 1;
        m_app.ProtocolMajor = 2;
        m_app.ProtocolMinor = 3;
        m_app.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_APP2;
        std::strcpy(m_app.Manufacturer, "Tarsin");
        std::strcpy(m_app.ProductFamily, "Tools");
        std::strcpy(m_app.ProductName, "tarsin-scan");
    }
    ~SystemLink() override {
        close();
        if (m_module)
            platform::freeLibrary(m_module);
    }

    bool open(std::string& error) override {
        for (const wchar_t* const* name = platform::dataSourceManagerLibraryNames(); *name && !m_entry;
             ++name) {
            m_module = platform::loadLibrary(*name).module;
            if (m_module)
                m_entry = reinterpret_cast<DSMENTRYPROC>(platform::findSymbol(m_module, "DSM_Entry"));
        }
        if (!m_entry) {
            error = "no data source manager library with DSM_Entry was found";
            return false;
        }
        m_window = std::make_unique<ParentWindow>();
        void* parent = m_window->handle();
        if (m_entry(&m_app, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent) != TWRC_SUCCESS) {
            error = "MSG_OPENDSM failed: " + conditionName(managerCondition());
            return false;
        }
        m_managerOpen = true;
        // Pick the source by its product name rather than asking the user.
        bool found = false;
        uint16_t rc = m_entry(&m_app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &m_source);
        while (rc == TWRC_SUCCESS) {
            if (std::strncmp(m_source.ProductName, m_productName.c_str(), sizeof m_source.ProductName) == 0) {
                found = true;
                break;
            }
            rc = m_entry(&m_app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &m_source);
        }
        if (!found) {
            error = "the manager knows no source named \"" + m_productName + "\"";
            return false;
        }
        if (m_entry(&m_app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_source) != TWRC_SUCCESS) {
            error = "MSG_OPENDS failed: " + conditionName(managerCondition());
            return false;
        }
        m_sourceOpen = true;
        // Notifications by callback where the manager offers it; otherwise they come as window
        // messages that MSG_PROCESSEVENT hands back in TWMessage.
        CallbackRecord callback{reinterpret_cast<void*>(&notificationCallback), 0, 0};
        m_entry(&m_app, &m_source, DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback);
        return true;
    }
    void close() override {
        if (m_sourceOpen)
            m_entry(&m_app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &m_source);
        m_sourceOpen = false;
        if (m_managerOpen) {
            void* parent = m_window->handle();
            m_entry(&m_app, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent);
        }
        m_managerOpen = false;
    }
    uint16_t call(uint32_t dg, uint16_t dat, uint16_t msg, void* data) override {
        const uint16_t rc = m_entry(&m_app, &m_source, dg, dat, msg, data);
        if (dat == DAT_EVENT && data) {
            const uint16_t message = static_cast<TW_EVENT*>(data)->TWMessage;
            if (message != MSG_NULL)
                systemNotifications().push_back(message);
        }
        return rc;
    }
    uint16_t condition() override {
        TW_STATUS status{};
        m_entry(&m_app, &m_source, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode;
    }
    std::vector<uint16_t> takeNotifications() override {
        std::vector<uint16_t> messages;
        messages.swap(systemNotifications());
        return messages;
    }
    void pumpWindowMessages() override { m_window->pump(); }
    Handle allocate(uint32_t size) override { return platform::globalAllocate(size); }
    void* lock(Handle handle) override { return platform::globalLock(handle); }
    void unlock(Handle handle) override { platform::globalUnlock(handle); }
    void free(Handle handle) override { platform::globalFree(handle); }

private:
    uint16_t managerCondition() {
        TW_STATUS status{};
        m_entry(&m_app, nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode;
    }

    std::string m_productName;
    TW_IDENTITY m_app{};
    TW_IDENTITY m_source{};
    platform::ModuleHandle m_module = nullptr;
    DSMENTRYPROC m_entry = nullptr;
    std::unique_ptr<ParentWindow> m_window;
    bool m_managerOpen = false;
    bool m_sourceOpen = false;
};

} // namespace

std::unique_ptr<SourceLink> makeDirectLink(const std::wstring& dataSourcePath) {
    return std::make_unique<DirectLink>(dataSourcePath);
}

std::unique_ptr<SourceLink> makeSystemLink(const std::string& productName) {
    return std::make_unique<SystemLink>(productName);
}

} // namespace scantool
