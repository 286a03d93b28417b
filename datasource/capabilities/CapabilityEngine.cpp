// The capability operations of the source: every DAT_CAPABILITY message is answered by looking the id
// up in the instance's registry.
#include "datasource/tarsin_ds.h"

#include <algorithm>

namespace tarsin {

using namespace Twpp;

Result tarsin_ds::routeCapability(uint16_t msg, Capability& cap) {
    const CapabilityHandler* handler = m_capabilities.handler(cap.cap());
    if (!handler)
        return failure(TWCC_CAPUNSUPPORTED);
    return (*handler)(msg, cap);
}

Result tarsin_ds::capabilityGet(TW_IDENTITY&, Capability& data) { return routeCapability(MSG_GET, data); }
Result tarsin_ds::capabilityGetCurrent(TW_IDENTITY&, Capability& data) {
    return routeCapability(MSG_GETCURRENT, data);
}
Result tarsin_ds::capabilityGetDefault(TW_IDENTITY&, Capability& data) {
    return routeCapability(MSG_GETDEFAULT, data);
}
Result tarsin_ds::capabilitySet(TW_IDENTITY&, Capability& data) { return routeCapability(MSG_SET, data); }
Result tarsin_ds::capabilityReset(TW_IDENTITY&, Capability& data) { return routeCapability(MSG_RESET, data); }

Result tarsin_ds::capabilityQuerySupport(TW_IDENTITY&, Capability& data) {
    // An unregistered id is no error here: it supports no operation.
    const auto flags = static_cast<int32_t>(m_capabilities.querySupport(data.cap()));
    data = Capability::createOneValue(data.cap(), flags);
    return success();
}

Result tarsin_ds::capabilityResetAll(TW_IDENTITY&, Capability&) {
    // Copy the ids first: a handler must not see the map change under it (it never does today).
    std::vector<uint16_t> resettable;
    for (const auto& [id, flags] : m_capabilities.querySupportMap())
        if (flags & TWQC_RESET)
            resettable.push_back(id);
    for (const uint16_t id : resettable) {
        Capability cap(id);
        routeCapability(MSG_RESET, cap); // each capability answers for itself; the walk goes on
    }
    return success();
}

} // namespace tarsin
