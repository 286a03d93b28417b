// The wrapper layer's value types and containers, over the system's global memory.
#include "platform/PlatformTesting.h"
#include "twain/Capability.h"

#include <gtest/gtest.h>

#include <string>

using namespace Twpp;

namespace {

struct FixCase {
    float value;
    int16_t whole;
    uint16_t frac;
};
class Fix32FromFloat : public ::testing::TestWithParam<FixCase> {};

TEST_P(Fix32FromFloat, RoundsHalvesAwayFromZero) {
    const FixCase c = GetParam();
    const Fix32 fix(c.value);
    EXPECT_EQ(fix.whole, c.whole);
    EXPECT_EQ(fix.frac, c.frac);
}
INSTANTIATE_TEST_SUITE_P(Values, Fix32FromFloat,
                         ::testing::Values(FixCase{1.5f, 1, 32768}, FixCase{-1.5f, -2, 32768},
                                           FixCase{0.000001f, 0, 0}, FixCase{0.00001f, 0, 1},
                                           FixCase{-0.25f, -1, 49152}, FixCase{200.0f, 200, 0}));

TEST(Fix32, ConvertsBackAndFillsItsSlotWholeFirst) {
    EXPECT_FLOAT_EQ(Fix32(-1.5f).toFloat(), -1.5f);
    EXPECT_EQ(Fix32(int16_t(1), uint16_t(0x8000)).toSlot(), 0x80000001u);
    EXPECT_EQ(Fix32::fromSlot(0x80000001u), Fix32(int16_t(1), uint16_t(0x8000)));
}

TEST(FixedStrings, CutsLongTextsAndKeepsOneTerminator) {
    Str255 field;
    std::memset(field.data, 'x', sizeof field.data);
    setStr255(field, std::string(300, 'a'));
    EXPECT_EQ(field.str(), std::string(255, 'a'));
    EXPECT_EQ(field.data[255], '\0');

    Str64 shortField;
    setStr64(shortField, std::string(70, 'b'));
    EXPECT_EQ(shortField.str(), std::string(65, 'b'));
    EXPECT_EQ(shortField.data[65], '\0');

    setStr64(shortField, "");
    EXPECT_EQ(shortField.data[0], '\0');
}

TEST(FixedStrings, LiteralsAreZeroPadded) {
    const Str32 name("Ombrix");
    EXPECT_EQ(name.str(), "Ombrix");
    for (std::size_t i = 6; i < sizeof name.data; ++i)
        EXPECT_EQ(name.data[i], '\0');
}

TEST(FixedStrings, NonAsciiTextRoundTripsThroughTheCodePage) {
    Str255 field;
    setStr255(field, "Gr\xC3\xBC\xC3\x9F"
                     "e");
    EXPECT_EQ(strToUtf8(field), "Gr\xC3\xBC\xC3\x9F"
                                "e");
}

TEST(Exceptions, NameTheirCause) {
    EXPECT_STREQ(DataException().what(), "No data.");
    EXPECT_STREQ(ContainerException().what(), "Unexpected container.");
    EXPECT_STREQ(CapabilityException().what(), "Capability handling error.");
    EXPECT_STREQ(Exception().what(), "General TWPP error.");
}

class Containers : public ::testing::Test {
protected:
    // Every container goes back to the system: nothing leaked, nothing left locked.
    void TearDown() override {
        if (auto stats = platform::testing::globalMemoryStats()) {
            EXPECT_EQ(stats->liveHandles, m_liveAtStart);
            EXPECT_EQ(stats->lockedHandles, 0u);
        }
    }
    std::size_t m_liveAtStart =
        platform::testing::globalMemoryStats().value_or(platform::testing::GlobalMemoryStats{}).liveHandles;
};

template <typename T>
T readAt(const HandleLock& lock, std::size_t offset) {
    T value;
    std::memcpy(&value, lock.data() + offset, sizeof value);
    return value;
}

TEST_F(Containers, OneValueWidensSmallItemsToTheirSlot) {
    const Capability unsignedValue = Capability::createOneValue<uint16_t>(CAP_XFERCOUNT, 300);
    {
        const HandleLock lock = unsignedValue.oneValue();
        EXPECT_EQ(readAt<uint16_t>(lock, 0), TWTY_UINT16);
        EXPECT_EQ(readAt<uint32_t>(lock, 2), 300u);
    }
    const Capability negative = Capability::createOneValue<int16_t>(CAP_XFERCOUNT, -2);
    const HandleLock lock = negative.oneValue();
    EXPECT_EQ(readAt<uint32_t>(lock, 2), 65534u);
    EXPECT_EQ(negative.currentItem<int16_t>(), -2);
}

TEST_F(Containers, EnumerationArrayAndRangeHaveTheProtocolLayout) {
    const Capability enumeration =
        Capability::createEnumeration(ICAP_COMPRESSION, std::vector<uint16_t>{0, 5, 6}, 1, 0);
    {
        const HandleLock lock = enumeration.enumeration();
        EXPECT_EQ(readAt<uint32_t>(lock, 2), 3u);
        EXPECT_EQ(readAt<uint32_t>(lock, 6), 1u);
        EXPECT_EQ(readAt<uint32_t>(lock, 10), 0u);
        EXPECT_EQ(readAt<uint16_t>(lock, 16), 5);
    }
    EXPECT_EQ(enumeration.currentItem<uint16_t>(), 5);

    const Capability range = Capability::createRange<uint32_t>(ICAP_XRESOLUTION, 50, 600, 1, 200, 300);
    {
        const HandleLock lock = range.range();
        EXPECT_EQ(readAt<uint32_t>(lock, 2), 50u);
        EXPECT_EQ(readAt<uint32_t>(lock, 6), 600u);
        EXPECT_EQ(readAt<uint32_t>(lock, 10), 1u);
        EXPECT_EQ(readAt<uint32_t>(lock, 14), 300u);
        EXPECT_EQ(readAt<uint32_t>(lock, 18), 200u);
    }
    EXPECT_EQ(range.currentItem<uint16_t>(), 200);
    EXPECT_THROW(range.currentItem<Bool>(), ContainerException);

    const Capability array = Capability::createArray(CAP_SUPPORTEDCAPS, std::vector<uint16_t>{1, 0x1005});
    const HandleLock lock = array.array();
    EXPECT_EQ(readAt<uint32_t>(lock, 2), 2u);
    EXPECT_EQ(readAt<uint16_t>(lock, 8), 0x1005);
    EXPECT_THROW(array.currentItem<uint16_t>(), ContainerException);
}

TEST_F(Containers, CurrentItemRefusesAnIndexPastTheList) {
    Capability enumeration = Capability::createEnumeration(ICAP_PIXELTYPE, std::vector<uint16_t>{0, 1}, 0, 0);
    {
        const HandleLock lock = enumeration.enumeration();
        const uint32_t pastTheEnd = 2;
        std::memcpy(lock.data() + 6, &pastTheEnd, sizeof pastTheEnd);
    }
    EXPECT_THROW(enumeration.currentItem<uint16_t>(), CapabilityException);
}

TEST_F(Containers, EnumerationItemsAreReadAtTheContainersOwnWidth) {
    // An application's TWTY_UINT32 list read by a 16-bit handler: the item, not half of another.
    const Capability wide =
        Capability::createEnumeration(ICAP_PIXELTYPE, std::vector<uint32_t>{10, 20, 30}, 1, 0);
    EXPECT_EQ(wide.currentItem<uint16_t>(), 20);
    EXPECT_EQ(wide.currentItem<PixelType>(), PixelType(20));
    const Capability narrow =
        Capability::createEnumeration(ICAP_PIXELTYPE, std::vector<uint8_t>{0, 1, 2}, 2, 0);
    EXPECT_EQ(narrow.currentItem<int32_t>(), 2);
    // A Fix32 is not made up from an integer of another width.
    EXPECT_THROW(narrow.currentItem<Fix32>(), ContainerException);
}

TEST_F(Containers, ViewsNeedDataThenTheRightForm) {
    const Capability empty(CAP_XFERCOUNT, TWON_ONEVALUE);
    EXPECT_THROW(empty.oneValue(), DataException);
    EXPECT_THROW(empty.currentItem<int16_t>(), DataException);
    const Capability array(CAP_XFERCOUNT, TWON_ARRAY);
    // The form is tested before the handle.
    EXPECT_THROW(array.currentItem<int16_t>(), ContainerException);
}

TEST_F(Containers, StringItemsSitInPlace) {
    const Capability text = Capability::createOneValue(CAP_SERIALNUMBER, Str255("SN-1"));
    EXPECT_EQ(text.currentItem<Str255>().str(), "SN-1");
}

TEST_F(Containers, GenericHandlersAnswerTheirMessages) {
    Capability cap(CAP_PAPERDETECTABLE);
    EXPECT_EQ(oneValueReadOnly(MSG_GET, cap, Bool(true)), success());
    EXPECT_EQ(cap.currentItem<Bool>(), Bool(true));
    EXPECT_EQ(oneValueReadOnly(MSG_SET, cap, Bool(true)), failure(TWCC_CAPBADOPERATION));

    int16_t current = 9;
    Capability count(CAP_XFERCOUNT);
    EXPECT_EQ(oneValueGetSet(MSG_RESET, count, current, 5), success());
    EXPECT_EQ(current, 5);
    EXPECT_EQ(count.currentItem<int16_t>(), 5);
    Capability request = Capability::createOneValue<int16_t>(CAP_XFERCOUNT, 7);
    EXPECT_EQ(oneValueGetSet(MSG_SET, request, current, 5), success());
    EXPECT_EQ(current, 7);
}

} // namespace
