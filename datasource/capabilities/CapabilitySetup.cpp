// The capability setup run at every open.
#include "datasource/tarsin_ds.h"

#include <algorithm>

namespace tarsin {

using namespace Twpp;

namespace {
Result supportedCaps(const CapabilityRegistry& registry, uint16_t msg, Capability& cap) {
    switch (msg) {
    case MSG_GET:
    case MSG_GETCURRENT:
    case MSG_GETDEFAULT: {
        std::vector<uint16_t> ids;
        ids.reserve(registry.handlerMap().size());
        for (const auto& entry : registry.handlerMap())
            ids.push_back(entry.first);
        std::sort(ids.begin(), ids.end());
        cap = Capability::createArray(cap.cap(), ids);
        return success();
    }
    default:
        return failure(TWCC_CAPBADOPERATION);
    }
}
} // namespace

void tarsin_ds::initCapabilities() {
    m_capabilities.clear();
    m_capabilities.add(CAP_SUPPORTEDCAPS, kReadOnly,
                       [this](uint16_t msg, Capability& cap) { return supportedCaps(m_capabilities, msg, cap); });
    m_indicators = m_scanner->has_indicators() ? 1 : 0;
}

} // namespace tarsin
