// Reading the source's answers and sending the application's containers, for the capability tests.
#pragma once

#include "tests/support/SourceFixture.h"
#include "twain/Capability.h"

#include <cstring>
#include <string>
#include <vector>

namespace captest {

using namespace Twpp;

// A container's header and items, each item as the 32-bit slot it fills (zero-extended).
struct Answer {
    uint16_t conType = 0;
    uint16_t itemType = 0;
    uint32_t currentIndex = 0;
    uint32_t defaultIndex = 0;
    std::vector<uint32_t> items; // one value: one item; range: min, max, step, default, current
};

inline Answer read(const TW_CAPABILITY& cap) {
    Answer answer;
    answer.conType = cap.ConType;
    if (!cap.hContainer)
        return answer;
    const auto* bytes = static_cast<const uint8_t*>(host::hostLock(cap.hContainer));
    std::memcpy(&answer.itemType, bytes, 2);
    const uint32_t size = itemSize(answer.itemType);
    auto item = [&](const uint8_t* where, uint32_t width) {
        uint32_t slot = 0;
        std::memcpy(&slot, where, std::min<uint32_t>(width, 4));
        return slot;
    };
    uint32_t count = 0;
    switch (cap.ConType) {
    case TWON_ONEVALUE:
        answer.items.push_back(item(bytes + 2, size));
        break;
    case TWON_ENUMERATION:
        std::memcpy(&count, bytes + 2, 4);
        std::memcpy(&answer.currentIndex, bytes + 6, 4);
        std::memcpy(&answer.defaultIndex, bytes + 10, 4);
        for (uint32_t i = 0; i < count; ++i)
            answer.items.push_back(item(bytes + 14 + i * size, size));
        break;
    case TWON_ARRAY:
        std::memcpy(&count, bytes + 2, 4);
        for (uint32_t i = 0; i < count; ++i)
            answer.items.push_back(item(bytes + 6 + i * size, size));
        break;
    case TWON_RANGE:
        for (uint32_t i = 0; i < 5; ++i)
            answer.items.push_back(item(bytes + 2 + 4 * i, 4));
        break;
    default:
        break;
    }
    host::hostUnlock(cap.hContainer);
    return answer;
}

// The text of a TWTY_STR255 one value.
inline std::string readText(const TW_CAPABILITY& cap) {
    const auto* bytes = static_cast<const char*>(host::hostLock(cap.hContainer));
    std::string text(bytes + 2, strnlen(bytes + 2, 256));
    host::hostUnlock(cap.hContainer);
    return text;
}

inline uint32_t fix32Slot(int16_t whole, uint16_t frac = 0) {
    return static_cast<uint16_t>(whole) | (static_cast<uint32_t>(frac) << 16);
}

// A container of the application's own, built byte by byte.
inline Handle makeContainer(const std::vector<uint8_t>& bytes) {
    const Handle handle = host::hostAllocate(static_cast<uint32_t>(bytes.size()));
    std::memcpy(host::hostLock(handle), bytes.data(), bytes.size());
    host::hostUnlock(handle);
    return handle;
}
template <typename T>
void append(std::vector<uint8_t>& bytes, T value) {
    const auto* raw = reinterpret_cast<const uint8_t*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof(T));
}
// An enumeration of 16-bit items whose CurrentIndex selects the value sent.
inline std::vector<uint8_t> enumerationOf(uint16_t itemType, const std::vector<uint16_t>& items,
                                          uint32_t current) {
    std::vector<uint8_t> bytes;
    append(bytes, itemType);
    append(bytes, static_cast<uint32_t>(items.size()));
    append(bytes, current);
    append(bytes, uint32_t{0});
    for (uint16_t item : items)
        append(bytes, item);
    return bytes;
}
inline std::vector<uint8_t> rangeOf(uint16_t itemType, uint32_t min, uint32_t max, uint32_t step,
                                    uint32_t current) {
    std::vector<uint8_t> bytes;
    append(bytes, itemType);
    for (uint32_t value : {min, max, step, current /* default */, current})
        append(bytes, value);
    return bytes;
}

// Base of the capability tests: an open source and helpers that send a container and free the answer.
class CapabilityTest : public testsupport::SourceTest {
protected:
    // Sends msg with a container of the application's own; the source must neither free it nor
    // leave it as the answer's handle unless it answered nothing.
    uint16_t sendContainer(uint16_t msg, uint16_t cap, uint16_t conType, const std::vector<uint8_t>& bytes,
                           Answer* reply = nullptr) {
        TW_CAPABILITY request{cap, conType, makeContainer(bytes)};
        const Handle own = request.hContainer;
        const uint16_t rc = app().capability(msg, request);
        EXPECT_TRUE(host::isLiveHostHandle(own)) << "the source freed the application's container";
        if (reply)
            *reply = read(request);
        host::hostFree(own);
        if (request.hContainer != own)
            app().freeContainer(request);
        return rc;
    }
    // The one value item answered to msg, failing the test unless the message succeeded.
    uint32_t itemOf(uint16_t msg, uint16_t cap) {
        EXPECT_EQ(capability(msg, cap), TWRC_SUCCESS)
            << "cap 0x" << std::hex << cap << " condition " << condition();
        const Answer answer = read(this->answer());
        EXPECT_EQ(answer.conType, TWON_ONEVALUE);
        return answer.items.empty() ? 0xDEADBEEF : answer.items[0];
    }
    uint32_t current(uint16_t cap) { return itemOf(MSG_GETCURRENT, cap); }
    Answer get(uint16_t cap) {
        EXPECT_EQ(capability(MSG_GET, cap), TWRC_SUCCESS)
            << "cap 0x" << std::hex << cap << " condition " << condition();
        return read(answer());
    }
    std::vector<uint16_t> supportedCaps() {
        std::vector<uint16_t> ids;
        for (uint32_t id : get(CAP_SUPPORTEDCAPS).items)
            ids.push_back(static_cast<uint16_t>(id));
        return ids;
    }
};

} // namespace captest
