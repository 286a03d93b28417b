#include "twain/Capability.h"

namespace Twpp {

uint32_t itemSize(uint16_t itemType) {
    switch (itemType) {
    case TWTY_INT8:
    case TWTY_UINT8:
        return 1;
    case TWTY_INT16:
    case TWTY_UINT16:
    case TWTY_BOOL:
        return 2;
    case TWTY_INT32:
    case TWTY_UINT32:
    case TWTY_FIX32:
        return 4;
    case TWTY_FRAME:
        return sizeof(TW_FRAME);
    case TWTY_STR32:
        return 34;
    case TWTY_STR64:
        return 66;
    case TWTY_STR128:
        return 130;
    case TWTY_STR255:
        return 256;
    case TWTY_HANDLE:
        return sizeof(Handle);
    default:
        return 0;
    }
}

Capability::Capability(uint16_t cap, ConType conType, ItemType itemType, uint32_t size)
    : m_cap(cap), m_conType(conType), m_container(OwnedHandle::allocate(size)) {
    const HandleLock lock(m_container.get());
    std::memcpy(lock.data(), &itemType, sizeof(uint16_t));
}

HandleLock Capability::view(ConType expected) const {
    if (!m_container)
        throw DataException();
    if (m_conType != expected)
        throw ContainerException();
    return HandleLock(m_container.get());
}

Result oneValueReadOnly(uint16_t msg, Capability& cap, Bool value) {
    switch (msg) {
    case MSG_GET:
    case MSG_GETCURRENT:
    case MSG_GETDEFAULT:
        cap = Capability::createOneValue(cap.cap(), value);
        return success();
    default:
        return failure(TWCC_CAPBADOPERATION);
    }
}

Result oneValueGetSet(uint16_t msg, Capability& cap, int16_t& current, int16_t defaultValue) {
    switch (msg) {
    case MSG_GET:
    case MSG_GETCURRENT:
        cap = Capability::createOneValue(cap.cap(), current);
        return success();
    case MSG_GETDEFAULT:
        cap = Capability::createOneValue(cap.cap(), defaultValue);
        return success();
    case MSG_RESET:
        current = defaultValue;
        cap = Capability::createOneValue(cap.cap(), current);
        return success();
    case MSG_SET:
        current = cap.currentItem<int16_t>();
        return success();
    default:
        return failure(TWCC_CAPBADOPERATION);
    }
}

} // namespace Twpp
