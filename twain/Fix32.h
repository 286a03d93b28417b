#pragma once

#include "twain/Twain.h"

#include <cstring>

namespace Twpp {

// TW_FIX32: Whole at offset 0, Frac at offset 2; stored bit for bit in a 32-bit container slot.
struct Fix32 {
    int16_t whole = 0;
    uint16_t frac = 0;

    constexpr Fix32() = default;
    constexpr Fix32(int16_t wholePart, uint16_t fraction) : whole(wholePart), frac(fraction) {}
    // Nearest 1/65536, halves away from zero, in single precision.
    explicit Fix32(float value);

    float toFloat() const { return static_cast<float>(whole) + static_cast<float>(frac) / 65536.0f; }

    // The 32-bit container slot (little-endian: Whole low, Frac high).
    uint32_t toSlot() const {
        uint32_t slot;
        std::memcpy(&slot, this, sizeof slot);
        return slot;
    }
    static Fix32 fromSlot(uint32_t slot) {
        Fix32 value;
        std::memcpy(static_cast<void*>(&value), &slot, sizeof value);
        return value;
    }

    friend bool operator==(const Fix32& a, const Fix32& b) { return a.whole == b.whole && a.frac == b.frac; }
    friend bool operator!=(const Fix32& a, const Fix32& b) { return !(a == b); }
};
static_assert(sizeof(Fix32) == sizeof(TW_FIX32));

inline Fix32::Fix32(float value) {
    float scaled = value * 65536.0f;
    scaled += value >= 0 ? 0.5f : -0.5f;
    const int32_t n = static_cast<int32_t>(scaled);
    whole = static_cast<int16_t>(n >> 16);
    frac = static_cast<uint16_t>(n & 0xFFFF);
}

} // namespace Twpp
