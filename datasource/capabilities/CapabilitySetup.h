// The capability setup run at every open, and the records whose behaviour departs from a generic
// pattern. The setup reaches the source's fields as its friend.
#pragma once

#include "datasource/capabilities/Patterns.h"

namespace tarsin {

class CapabilitySetup {
public:
    explicit CapabilitySetup(tarsin_ds& source) : m_source(source), m_registry(source.m_capabilities) {}

    // Empties both maps and registers every capability the connected device has.
    void run();

private:
    void add(uint16_t id, uint32_t flags, CapabilityHandler handler) {
        m_registry.add(id, flags, std::move(handler));
    }
    // Registers copy with the flags and the very handler of id.
    void copy(uint16_t id, uint16_t copyId) { m_registry.addAlias(id, copyId); }

    // Device, feeder and transfer records (DeviceCapabilities.cpp).
    CapabilityHandler supportedCaps();
    CapabilityHandler transferCount();
    CapabilityHandler fixedTrue();
    CapabilityHandler indicators();
    CapabilityHandler compression();
    CapabilityHandler transferMechanism();
    CapabilityHandler imageFileFormat();
    CapabilityHandler jpegQuality();
    CapabilityHandler feederEnabled();
    CapabilityHandler autoFeed();
    CapabilityHandler autoScan();
    CapabilityHandler serialNumber();

    // Image format and geometry records (GeometryCapabilities.cpp).
    CapabilityHandler physicalSize(bool isWidth);
    CapabilityHandler automaticColor();
    CapabilityHandler nonColorPixelType();
    CapabilityHandler orientation();
    CapabilityHandler autoSize();

    tarsin_ds& m_source;
    CapabilityRegistry& m_registry;
};

} // namespace tarsin
