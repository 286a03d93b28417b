#include "datasource/SourceRegistry.h"

namespace tarsin {

SourceRegistry& SourceRegistry::instance() {
    static SourceRegistry registry;
    return registry;
}

SourceRegistry::~SourceRegistry() {
    // Library unload: instances still open are destroyed in list order.
    while (!m_sources.empty())
        m_sources.pop_front();
}

tarsin_ds* SourceRegistry::find(uint32_t applicationId) {
    for (tarsin_ds& source : m_sources)
        if (source.appIdentity().Id == applicationId)
            return &source;
    return nullptr;
}

tarsin_ds& SourceRegistry::create() { return m_sources.emplace_back(); }

void SourceRegistry::remove(tarsin_ds& source) {
    for (auto it = m_sources.begin(); it != m_sources.end(); ++it) {
        if (&*it == &source) {
            m_sources.erase(it);
            return;
        }
    }
}

bool SourceRegistry::anyOtherHoldsScanner(const tarsin_ds* self) const {
    for (const tarsin_ds& source : m_sources)
        if (&source != self && source.scanner())
            return true;
    return false;
}

} // namespace tarsin
