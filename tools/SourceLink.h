// How the scanning tool reaches the data source: either it loads the source itself and is its
// manager (direct), or it asks the system's data source manager to do so (system). Both hand every
// triplet on with the tool's identity as origin and collect the notifications the source sends.
#pragma once

#include "twain/Twain.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace scantool {

class SourceLink {
public:
    virtual ~SourceLink() = default;
    // Loads and opens the source; on failure answers false with a message in `error`.
    virtual bool open(std::string& error) = 0;
    virtual void close() = 0;
    virtual uint16_t call(uint32_t dg, uint16_t dat, uint16_t msg, void* data) = 0;
    // DAT_STATUS of the previous call.
    virtual uint16_t condition() = 0;
    // The notifications that arrived since the last look.
    virtual std::vector<uint16_t> takeNotifications() = 0;
    // Hands window messages to the system, where the manager needs them to deliver notifications.
    virtual void pumpWindowMessages() {}
    // The manager's memory, in which the source reads containers and gives out handles.
    virtual Twpp::Handle allocate(uint32_t size) = 0;
    virtual void* lock(Twpp::Handle handle) = 0;
    virtual void unlock(Twpp::Handle handle) = 0;
    virtual void free(Twpp::Handle handle) = 0;
};

// The tool as the source's manager: the source beside the tool, loaded with the platform loader.
std::unique_ptr<SourceLink> makeDirectLink(const std::wstring& dataSourcePath);
// The system's data source manager, which finds and loads the source named `productName`.
std::unique_ptr<SourceLink> makeSystemLink(const std::string& productName);

} // namespace scantool
