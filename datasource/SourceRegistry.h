// The process-wide state of the data source library: the open instances, the link back to the DSM
// and the status of the last call.
#pragma once

#include "datasource/tarsin_ds.h"

#include <list>

namespace tarsin {

// One element per open instance, in creation order; an instance is found again by the Id of the
// application identity that opened it.
class SourceRegistry {
public:
    static SourceRegistry& instance();
    ~SourceRegistry();

    std::list<tarsin_ds>& sources() { return m_sources; }
    tarsin_ds* find(uint32_t applicationId);
    tarsin_ds& create();
    void remove(tarsin_ds& source);

    // Whether an instance other than `self` holds a scanner object (the backend must stay bound).
    bool anyOtherHoldsScanner(const tarsin_ds* self) const;

private:
    SourceRegistry() = default;
    std::list<tarsin_ds> m_sources;
};

} // namespace tarsin
