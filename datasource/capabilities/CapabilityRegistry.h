// The two tables that answer every capability of a source instance: the handler of each id and the
// query-support flags reported for it. Registration always writes both, so an id is never in one
// table without the other.
#pragma once

#include "twain/Capability.h"
#include "twain/Result.h"

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace tarsin {

// Answers one capability message (MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_SET or MSG_RESET) by
// reading or replacing the application's Capability.
using CapabilityHandler = std::function<Twpp::Result(uint16_t msg, Twpp::Capability& cap)>;

// The two flag sets the source registers.
constexpr uint32_t kReadOnly = Twpp::TWQC_GET | Twpp::TWQC_GETDEFAULT | Twpp::TWQC_GETCURRENT; // 0x0D
constexpr uint32_t kFullSupport = kReadOnly | Twpp::TWQC_SET | Twpp::TWQC_RESET;               // 0x1F

class CapabilityRegistry {
public:
    void clear() {
        m_querySupport.clear();
        m_handlers.clear();
    }
    // Inserts or replaces both entries of id.
    void add(uint16_t id, uint32_t flags, CapabilityHandler handler) {
        m_querySupport[id] = flags;
        m_handlers[id] = std::move(handler);
    }
    // Registers `alias` with the flags and a copy of the handler of `id`, if id is registered.
    void addAlias(uint16_t id, uint16_t alias) {
        const auto flags = m_querySupport.find(id);
        if (flags == m_querySupport.end())
            return;
        m_querySupport[alias] = flags->second;
        m_handlers[alias] = m_handlers.at(id);
    }
    bool contains(uint16_t id) const { return m_querySupport.count(id) != 0; }
    uint32_t querySupport(uint16_t id) const {
        const auto found = m_querySupport.find(id);
        return found == m_querySupport.end() ? 0 : found->second;
    }
    const CapabilityHandler* handler(uint16_t id) const {
        const auto found = m_handlers.find(id);
        return found == m_handlers.end() ? nullptr : &found->second;
    }
    const std::unordered_map<uint16_t, uint32_t>& querySupportMap() const { return m_querySupport; }
    const std::unordered_map<uint16_t, CapabilityHandler>& handlerMap() const { return m_handlers; }

private:
    // Declared in this order so that destruction takes the query-support map first.
    std::unordered_map<uint16_t, CapabilityHandler> m_handlers;
    std::unordered_map<uint16_t, uint32_t> m_querySupport;
};

} // namespace tarsin
