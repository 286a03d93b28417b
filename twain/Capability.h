// A capability value with the memory layout of TW_CAPABILITY: the application's TW_CAPABILITY is used
// in place as a Capability, handlers read its container through views and currentItem, and answer by
// moving a freshly built Capability into it (the previous container goes by the release rule of
// OwnedHandle, so the application's own container is never freed by the source).
#pragma once

#include "twain/Exception.h"
#include "twain/Fix32.h"
#include "twain/Memory.h"
#include "twain/Result.h"
#include "twain/Strings.h"
#include "twain/Twain.h"

#include <cstring>
#include <iterator>
#include <type_traits>
#include <vector>

namespace Twpp {

// TW_BOOL: 16 bits, written as 0 or 1.
struct Bool {
    uint16_t value = 0;
    constexpr Bool() = default;
    constexpr Bool(bool flag) : value(flag ? 1 : 0) {}
    static constexpr Bool fromRaw(uint16_t raw) {
        Bool b;
        b.value = raw;
        return b;
    }
    constexpr explicit operator bool() const { return value != 0; }
    friend constexpr bool operator==(Bool a, Bool b) { return a.value == b.value; }
};

template <typename T, typename = void>
struct ItemTraits;
template <ItemType kType, typename T, bool kNumeric>
struct ItemTraitsOf {
    static constexpr ItemType type = kType;
    static constexpr uint32_t size = sizeof(T);
    static constexpr bool isNumeric = kNumeric; // may be read from a range
};
template <>
struct ItemTraits<int8_t> : ItemTraitsOf<TWTY_INT8, int8_t, true> {};
template <>
struct ItemTraits<uint8_t> : ItemTraitsOf<TWTY_UINT8, uint8_t, true> {};
template <>
struct ItemTraits<int16_t> : ItemTraitsOf<TWTY_INT16, int16_t, true> {};
template <>
struct ItemTraits<uint16_t> : ItemTraitsOf<TWTY_UINT16, uint16_t, true> {};
template <>
struct ItemTraits<int32_t> : ItemTraitsOf<TWTY_INT32, int32_t, true> {};
template <>
struct ItemTraits<uint32_t> : ItemTraitsOf<TWTY_UINT32, uint32_t, true> {};
template <>
struct ItemTraits<Bool> : ItemTraitsOf<TWTY_BOOL, Bool, false> {};
template <>
struct ItemTraits<Fix32> : ItemTraitsOf<TWTY_FIX32, Fix32, true> {};
template <>
struct ItemTraits<Str32> : ItemTraitsOf<TWTY_STR32, Str32, false> {};
template <>
struct ItemTraits<Str64> : ItemTraitsOf<TWTY_STR64, Str64, false> {};
template <>
struct ItemTraits<Str128> : ItemTraitsOf<TWTY_STR128, Str128, false> {};
template <>
struct ItemTraits<Str255> : ItemTraitsOf<TWTY_STR255, Str255, false> {};
// The capability value enumerations (pixel type, orientation, file format, ...) travel as their
// underlying integer type but, like Bool and strings, are never read from a range.
template <typename T>
struct ItemTraits<T, std::enable_if_t<std::is_enum_v<T>>> {
    static constexpr ItemType type = ItemTraits<std::underlying_type_t<T>>::type;
    static constexpr uint32_t size = sizeof(T);
    static constexpr bool isNumeric = false;
};

// Item size of any item type, for walking lists of the application's containers.
uint32_t itemSize(uint16_t itemType);

namespace detail {
// One value and range slots hold items of up to 4 bytes zero-extended to 32 bits (Fix32 bit for bit);
// wider items (strings) sit in place from the slot's first byte.
template <typename T>
void writeSlot(uint8_t* slot, const T& value) {
    if constexpr (sizeof(T) < 4) {
        uint32_t wide = 0;
        std::memcpy(&wide, &value, sizeof(T));
        std::memcpy(slot, &wide, 4);
    } else {
        std::memcpy(slot, &value, sizeof(T));
    }
}
template <typename T>
T readItem(const uint8_t* where) {
    T value;
    std::memcpy(static_cast<void*>(&value), where, sizeof(T));
    return value;
}
// An integer item of another width than T, converted; other items of another width are refused.
template <typename T>
T convertInteger(const uint8_t* item, uint16_t itemType) {
    int64_t value = 0;
    switch (itemType) {
    case TWTY_INT8:
        value = readItem<int8_t>(item);
        break;
    case TWTY_UINT8:
        value = readItem<uint8_t>(item);
        break;
    case TWTY_INT16:
        value = readItem<int16_t>(item);
        break;
    case TWTY_UINT16:
    case TWTY_BOOL:
        value = readItem<uint16_t>(item);
        break;
    case TWTY_INT32:
        value = readItem<int32_t>(item);
        break;
    case TWTY_UINT32:
        value = readItem<uint32_t>(item);
        break;
    default:
        throw ContainerException();
    }
    if constexpr (std::is_same_v<T, Bool>)
        return Bool::fromRaw(static_cast<uint16_t>(value));
    else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
        return static_cast<T>(value);
    else
        throw ContainerException();
}
} // namespace detail

// Packed like TW_CAPABILITY: on 64-bit builds the container handle sits at offset 4.
#pragma pack(push, 2)
class Capability {
public:
    // A capability without container, as MSG_RESETALL builds them.
    explicit Capability(uint16_t cap, uint16_t conType = TWON_DONTCARE16) : m_cap(cap), m_conType(conType) {}
    // Allocates size bytes and writes ItemType at offset 0; the rest is what allocate returned.
    Capability(uint16_t cap, ConType conType, ItemType itemType, uint32_t size);
    Capability(Capability&&) noexcept = default;
    Capability& operator=(Capability&&) noexcept = default;
    Capability(const Capability&) = delete;
    Capability& operator=(const Capability&) = delete;

    // The application's TW_CAPABILITY, used in place.
    static Capability& fromTwain(TW_CAPABILITY& twain) { return *reinterpret_cast<Capability*>(&twain); }

    uint16_t cap() const { return m_cap; }
    uint16_t conType() const { return m_conType; }
    Handle container() const { return m_container.get(); }
    // Gives the container up (to the application, or to the caller that frees it).
    Handle releaseContainer() { return m_container.release(); }

    // Views: a lock over the container, positioned at its first byte. DataException without container,
    // ContainerException for another container form.
    HandleLock oneValue() const { return view(TWON_ONEVALUE); }
    HandleLock enumeration() const { return view(TWON_ENUMERATION); }
    HandleLock array() const { return view(TWON_ARRAY); }
    HandleLock range() const { return view(TWON_RANGE); }

    // The current value of the container: a one value's item, an enumeration's item at CurrentIndex,
    // a range's CurrentValue (numeric types only). Never changes the container.
    template <typename T>
    T currentItem() const;

    template <typename T>
    static Capability createOneValue(uint16_t cap, const T& value);
    template <typename Iterator>
    static Capability createEnumeration(uint16_t cap, Iterator first, Iterator last, uint32_t currentIndex,
                                        uint32_t defaultIndex);
    template <typename T>
    static Capability createEnumeration(uint16_t cap, const std::vector<T>& items, uint32_t currentIndex,
                                        uint32_t defaultIndex) {
        return createEnumeration(cap, items.begin(), items.end(), currentIndex, defaultIndex);
    }
    template <typename T>
    static Capability createArray(uint16_t cap, const std::vector<T>& items);
    // Note the order: current before default, as callers name them.
    template <typename T>
    static Capability createRange(uint16_t cap, T min, T max, T step, T current, T defaultValue);

private:
    HandleLock view(ConType expected) const;

    uint16_t m_cap;
    uint16_t m_conType;
    OwnedHandle m_container;
};
#pragma pack(pop)
static_assert(sizeof(Capability) == sizeof(TW_CAPABILITY) && std::is_standard_layout_v<Capability>);

template <typename T>
T Capability::currentItem() const {
    using Traits = ItemTraits<T>;
    switch (m_conType) {
    case TWON_ONEVALUE: {
        const HandleLock lock = oneValue();
        return detail::readItem<T>(lock.data() + offsetof(TW_ONEVALUE, Item));
    }
    case TWON_ENUMERATION: {
        const HandleLock lock = enumeration();
        const auto* header = lock.as<TW_ENUMERATION>();
        const uint32_t index = header->CurrentIndex;
        // Never read past the application's container.
        if (index >= header->NumItems)
            throw CapabilityException();
        // The list is walked at the width of the container's own item type, which may differ from
        // the handler's (a TWTY_UINT32 list for a 16-bit value, say).
        const uint32_t width = itemSize(header->ItemType);
        const uint8_t* item = lock.data() + offsetof(TW_ENUMERATION, ItemList) + std::size_t(index) * width;
        if (width == Traits::size)
            return detail::readItem<T>(item);
        return detail::convertInteger<T>(item, header->ItemType);
    }
    case TWON_RANGE:
        if constexpr (Traits::isNumeric) {
            const HandleLock lock = range();
            return detail::readItem<T>(lock.data() + offsetof(TW_RANGE, CurrentValue));
        }
        [[fallthrough]];
    default:
        throw ContainerException();
    }
}

template <typename T>
Capability Capability::createOneValue(uint16_t cap, const T& value) {
    using Traits = ItemTraits<T>;
    const uint32_t size = 2 + (Traits::size > 4 ? Traits::size : 4);
    Capability result(cap, TWON_ONEVALUE, Traits::type, size);
    const HandleLock lock(result.container());
    detail::writeSlot(lock.data() + offsetof(TW_ONEVALUE, Item), value);
    return result;
}

template <typename Iterator>
Capability Capability::createEnumeration(uint16_t cap, Iterator first, Iterator last, uint32_t currentIndex,
                                         uint32_t defaultIndex) {
    using T = typename std::iterator_traits<Iterator>::value_type;
    using Traits = ItemTraits<T>;
    const auto count = static_cast<uint32_t>(std::distance(first, last));
    Capability result(cap, TWON_ENUMERATION, Traits::type, 14 + count * Traits::size);
    const HandleLock lock(result.container());
    auto* header = lock.as<TW_ENUMERATION>();
    header->NumItems = count;
    header->CurrentIndex = currentIndex;
    header->DefaultIndex = defaultIndex;
    uint8_t* item = lock.data() + offsetof(TW_ENUMERATION, ItemList);
    for (; first != last; ++first, item += Traits::size) {
        const T value = *first;
        std::memcpy(item, &value, Traits::size);
    }
    return result;
}

template <typename T>
Capability Capability::createArray(uint16_t cap, const std::vector<T>& items) {
    using Traits = ItemTraits<T>;
    const auto count = static_cast<uint32_t>(items.size());
    Capability result(cap, TWON_ARRAY, Traits::type, 6 + count * Traits::size);
    const HandleLock lock(result.container());
    lock.as<TW_ARRAY>()->NumItems = count;
    if (count)
        std::memcpy(lock.data() + offsetof(TW_ARRAY, ItemList), items.data(), count * Traits::size);
    return result;
}

template <typename T>
Capability Capability::createRange(uint16_t cap, T min, T max, T step, T current, T defaultValue) {
    static_assert(ItemTraits<T>::isNumeric && sizeof(T) <= 4, "ranges hold numeric items only");
    Capability result(cap, TWON_RANGE, ItemTraits<T>::type, sizeof(TW_RANGE));
    const HandleLock lock(result.container());
    uint8_t* base = lock.data();
    detail::writeSlot(base + offsetof(TW_RANGE, MinValue), min);
    detail::writeSlot(base + offsetof(TW_RANGE, MaxValue), max);
    detail::writeSlot(base + offsetof(TW_RANGE, StepSize), step);
    detail::writeSlot(base + offsetof(TW_RANGE, DefaultValue), defaultValue);
    detail::writeSlot(base + offsetof(TW_RANGE, CurrentValue), current);
    return result;
}

// One fixed Bool: MSG_GET, MSG_GETCURRENT and MSG_GETDEFAULT answer it, every other message
// TWCC_CAPBADOPERATION.
Result oneValueReadOnly(uint16_t msg, Capability& cap, Bool value);
// A 16-bit signed value kept by the caller: gets answer TWTY_INT16 one values, MSG_RESET restores
// the default, MSG_SET takes the application's current item unchecked.
Result oneValueGetSet(uint16_t msg, Capability& cap, int16_t& current, int16_t defaultValue);

} // namespace Twpp
