// The record through which a handler receives the values of one scanner option from
// enum_option_values, and the callbacks that fill it, one per value representation.
#pragma once

#include "datasource/ScannerBackend.h"

#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace tarsin {

// The file-format option reports 16-byte records whose first 16 bits are the TWFF_ code.
struct FormatRecord {
    uint16_t format = 0;
    uint8_t rest[14] = {};
};
static_assert(sizeof(FormatRecord) == 16);

// Targets are preset by the handler with its fallbacks: a value the scanner does not report keeps
// the fallback. A null target or container is not filled.
template <typename Raw>
struct ValueCollector {
    Raw* defaultTarget = nullptr;
    Raw* currentTarget = nullptr;
    Raw* minimumTarget = nullptr;
    Raw* maximumTarget = nullptr;
    Raw* stepTarget = nullptr;
    std::vector<Raw>* values = nullptr;
    std::list<Raw>* valuesList = nullptr;
};

// The callback for options whose values cross as Raw: uint8_t (boolean), int32_t (integer), float
// (fixed), FormatRecord (file format) or std::string (text). Always answers true.
template <typename Raw>
bool collectValue(const void* value, uint32_t flags, void* collector);

template <typename Raw>
constexpr backend::OptionValueCallback collectorCallback() {
    return &collectValue<Raw>;
}

} // namespace tarsin
