// The descriptions of the image format and geometry capabilities, read from the scanner's options.
#include "tests/capabilities/CapabilityTest.h"

using namespace Twpp;
using captest::Answer;
using captest::CapabilityTest;
using captest::fix32Slot;

namespace {

class Geometry : public CapabilityTest {};

TEST_F(Geometry, ResolutionListKeepsTheScannersOrderAndFindsCurrentAndDefault) {
    testsupport::useProfile(
        R"({"base": "default", "options": {"24": {"type": "integer", "list": [100, 200, 300], "default": 300, "current": 200}}})");
    openSource();
    const Answer answer = get(ICAP_XRESOLUTION);
    EXPECT_EQ(answer.conType, TWON_ENUMERATION);
    EXPECT_EQ(answer.itemType, TWTY_FIX32);
    EXPECT_EQ(answer.items, (std::vector<uint32_t>{fix32Slot(100), fix32Slot(200), fix32Slot(300)}));
    EXPECT_EQ(answer.currentIndex, 1u);
    EXPECT_EQ(answer.defaultIndex, 2u);
    EXPECT_EQ(itemOf(MSG_GETDEFAULT, ICAP_YRESOLUTION), fix32Slot(300));
}

TEST_F(Geometry, UnlistedCurrentResolutionIndexesPastTheList) {
    testsupport::useProfile(
        R"({"base": "default", "options": {"24": {"type": "integer", "list": [100, 300], "default": 100, "current": 250}}})");
    openSource();
    const Answer answer = get(ICAP_XRESOLUTION);
    EXPECT_EQ(answer.items.size(), 2u);
    EXPECT_EQ(answer.currentIndex, 2u);
    EXPECT_EQ(answer.defaultIndex, 0u);
}

// Pixel type and bit depth are two views of one colour mode: same length and order, and setting
// one changes the other.
TEST_F(Geometry, PixelTypeAndBitDepthShareTheColourMode) {
    openSource();
    const Answer types = get(ICAP_PIXELTYPE);
    EXPECT_EQ(types.itemType, TWTY_UINT16);
    EXPECT_EQ(types.items, (std::vector<uint32_t>{TWPT_BW, TWPT_GRAY, TWPT_RGB}));
    EXPECT_EQ(types.currentIndex, 2u);
    const Answer depths = get(ICAP_BITDEPTH);
    EXPECT_EQ(depths.items, (std::vector<uint32_t>{1, 8, 24}));
    EXPECT_EQ(depths.currentIndex, 2u);
    EXPECT_EQ(depths.defaultIndex, 2u);

    ASSERT_EQ(setOneValue(ICAP_BITDEPTH, TWTY_UINT16, uint16_t{8}), TWRC_SUCCESS);
    EXPECT_EQ(current(ICAP_PIXELTYPE), uint32_t{TWPT_GRAY});
    ASSERT_EQ(setOneValue(ICAP_PIXELTYPE, TWTY_UINT16, uint16_t{TWPT_BW}), TWRC_SUCCESS);
    EXPECT_EQ(current(ICAP_BITDEPTH), 1u);
    // A pixel type is never read from a range; a bit depth may be.
    EXPECT_EQ(sendContainer(MSG_SET, ICAP_PIXELTYPE, TWON_RANGE, captest::rangeOf(TWTY_UINT16, 0, 2, 1, 1)),
              TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADVALUE);
    EXPECT_EQ(sendContainer(MSG_SET, ICAP_BITDEPTH, TWON_RANGE, captest::rangeOf(TWTY_UINT16, 1, 24, 1, 24)),
              TWRC_SUCCESS);
    EXPECT_EQ(current(ICAP_PIXELTYPE), uint32_t{TWPT_RGB});
}

TEST_F(Geometry, FixedDescriptions) {
    openSource();
    const struct {
        uint16_t cap;
        uint16_t conType;
        uint16_t itemType;
        uint32_t value;
    } fixed[] = {
        {ICAP_UNITS, TWON_ENUMERATION, TWTY_UINT16, TWUN_INCHES},
        {ICAP_PLANARCHUNKY, TWON_ENUMERATION, TWTY_UINT16, TWPC_CHUNKY},
        {ICAP_PIXELFLAVOR, TWON_ENUMERATION, TWTY_UINT16, TWPF_CHOCOLATE},
        {ICAP_XNATIVERESOLUTION, TWON_ENUMERATION, TWTY_FIX32, fix32Slot(200)},
        {ICAP_YNATIVERESOLUTION, TWON_ENUMERATION, TWTY_FIX32, fix32Slot(200)},
        {ICAP_BITORDER, TWON_ONEVALUE, TWTY_UINT16, TWBO_MSBFIRST},
    };
    for (const auto& f : fixed) {
        SCOPED_TRACE(testing::Message() << "cap 0x" << std::hex << f.cap);
        const Answer answer = get(f.cap);
        EXPECT_EQ(answer.conType, f.conType);
        EXPECT_EQ(answer.itemType, f.itemType);
        EXPECT_EQ(answer.items, std::vector<uint32_t>{f.value});
        EXPECT_EQ(answer.currentIndex, 0u);
        EXPECT_EQ(answer.defaultIndex, 0u);
        EXPECT_EQ(itemOf(MSG_GETDEFAULT, f.cap), f.value);
    }
    EXPECT_EQ(itemOf(MSG_RESET, ICAP_UNITS), uint32_t{TWUN_INCHES});
    EXPECT_EQ(itemOf(MSG_RESET, ICAP_BITORDER), uint32_t{TWBO_MSBFIRST});
}

// Two-valued switches over boolean or coded options: the list is fixed, the current value comes
// from the option, the default is the "off" value.
TEST_F(Geometry, SwitchesListOffThenOn) {
    testsupport::useProfile(R"({"base": "default", "options": {"60": {"type": "boolean", "default": true},
        "61": {"type": "boolean", "default": true}, "3": {"type": "integer", "list": [2, 2572], "default": 2572}}})");
    openSource();
    const struct {
        uint16_t cap;
        uint16_t itemType;
        uint32_t off;
        uint32_t on;
    } switches[] = {
        {ICAP_ORIENTATION, TWTY_UINT16, TWOR_ROT0, TWOR_LANDSCAPE},
        {ICAP_AUTOSIZE, TWTY_UINT16, TWAS_NONE, TWAS_AUTO},
        {ICAP_AUTOMATICCOLORENABLED, TWTY_BOOL, 0, 1},
    };
    for (const auto& s : switches) {
        SCOPED_TRACE(testing::Message() << "cap 0x" << std::hex << s.cap);
        const Answer answer = get(s.cap);
        EXPECT_EQ(answer.itemType, s.itemType);
        EXPECT_EQ(answer.items, (std::vector<uint32_t>{s.off, s.on}));
        EXPECT_EQ(answer.currentIndex, 1u);
        EXPECT_EQ(answer.defaultIndex, 0u);
        EXPECT_EQ(itemOf(MSG_GETDEFAULT, s.cap), s.off);
        EXPECT_EQ(itemOf(MSG_RESET, s.cap), s.off);
        EXPECT_EQ(current(s.cap), s.off);
    }
}

TEST_F(Geometry, NonColorPixelTypeKeepsOnlyWhatTheScannerTook) {
    testsupport::useProfile(
        R"({"base": "default", "options": {"56": {"type": "integer", "list": [1], "default": 1}}})");
    openSource();
    ASSERT_EQ(setOneValue(ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE, TWTY_UINT16, uint16_t{TWPT_GRAY}),
              TWRC_SUCCESS);
    EXPECT_EQ(setOneValue(ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE, TWTY_UINT16, uint16_t{TWPT_BW}),
              TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
    const Answer answer = get(ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE);
    EXPECT_EQ(answer.items, (std::vector<uint32_t>{TWPT_BW, TWPT_GRAY}));
    EXPECT_EQ(answer.currentIndex, 1u);
    EXPECT_EQ(answer.defaultIndex, 1u);
}

TEST_F(Geometry, RotationAndPaperSizesListTheScannersValues) {
    openSource();
    const Answer rotations = get(ICAP_ROTATION);
    EXPECT_EQ(rotations.itemType, TWTY_FIX32);
    EXPECT_EQ(rotations.items,
              (std::vector<uint32_t>{fix32Slot(0), fix32Slot(90), fix32Slot(180), fix32Slot(270)}));
    const Answer sizes = get(ICAP_SUPPORTEDSIZES);
    EXPECT_EQ(sizes.items, (std::vector<uint32_t>{TWSS_A4, TWSS_USLETTER}));
    EXPECT_EQ(sizes.currentIndex, 0u);

    // Without the options: empty lists whose indexes point past them, fallbacks of 0.
    testsupport::useProfile("minimal");
    app().close();
    openSource();
    const Answer none = get(ICAP_ROTATION);
    EXPECT_TRUE(none.items.empty());
    EXPECT_EQ(none.currentIndex, 0u);
    EXPECT_EQ(current(ICAP_SUPPORTEDSIZES), uint32_t{TWSS_NONE});
}

// Physical size in inches: the image parameters at the current resolution, 10 inches while the
// scanner has no page to describe.
TEST_F(Geometry, PhysicalSizeFollowsTheImageParameters) {
    openSource();
    EXPECT_EQ(itemOf(MSG_GET, ICAP_PHYSICALWIDTH), fix32Slot(10));
    EXPECT_EQ(itemOf(MSG_GETDEFAULT, ICAP_PHYSICALHEIGHT), fix32Slot(10));

    ASSERT_EQ(setOneValue(ICAP_XRESOLUTION, TWTY_FIX32, fix32Slot(300)), TWRC_SUCCESS);
    TW_USERINTERFACE ui{};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS) << condition();
    const auto inches = [](uint32_t slot) { return Fix32::fromSlot(slot).toFloat(); };
    // An A4 page: 8.27 x 11.69 inches, rounded to whole pixels at 300 dpi.
    EXPECT_NEAR(inches(current(ICAP_PHYSICALWIDTH)), 8.27f, 0.005f);
    EXPECT_NEAR(inches(current(ICAP_PHYSICALHEIGHT)), 11.69f, 0.005f);
}

// A resolution of 0 must not divide by zero; the device then describes an empty page.
TEST_F(Geometry, ZeroResolutionDoesNotDivideByZero) {
    testsupport::useProfile(
        R"({"base": "default", "options": {"24": {"type": "integer", "list": [0, 200], "default": 0}}})");
    openSource();
    TW_USERINTERFACE ui{};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS) << condition();
    const float width = Fix32::fromSlot(current(ICAP_PHYSICALWIDTH)).toFloat();
    EXPECT_EQ(width, 0.0f);
}

} // namespace
