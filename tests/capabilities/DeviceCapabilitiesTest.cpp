// MSG_SET of every settable capability against the default device: what is accepted, what is
// refused and with which condition, what reached the scanner, and what the capability answers next.
#include "tests/capabilities/CapabilityTest.h"

#include <optional>

using namespace Twpp;
using captest::Answer;
using captest::CapabilityTest;
using captest::fix32Slot;

namespace {

struct SetCase {
    const char* name;
    uint16_t cap;
    uint16_t itemType;
    uint32_t value;
    uint16_t condition;                          // TWCC_SUCCESS when accepted
    const char* reachedScanner;                  // the journal of the call; "" when the scanner was not told
    std::optional<uint32_t> then = std::nullopt; // MSG_GETCURRENT afterwards
};
std::ostream& operator<<(std::ostream& out, const SetCase& c) { return out << c.name; }

class SetValue : public CapabilityTest, public ::testing::WithParamInterface<SetCase> {};

TEST_P(SetValue, AnswersAndReachesTheScannerAsTheRecordSays) {
    const SetCase c = GetParam();
    openSource();
    const uint32_t before = current(c.cap);
    testsupport::SimulatedBackend::instance().clearJournal();

    const uint16_t rc = setOneValue(c.cap, c.itemType, c.value);
    EXPECT_EQ(rc, c.condition == TWCC_SUCCESS ? TWRC_SUCCESS : TWRC_FAILURE);
    if (rc != TWRC_SUCCESS) {
        EXPECT_EQ(condition(), c.condition);
    }
    EXPECT_EQ(journal(), c.reachedScanner);
    EXPECT_EQ(current(c.cap), c.then.value_or(before));
}

constexpr uint16_t kOk = TWCC_SUCCESS;
constexpr uint16_t kBad = TWCC_BADVALUE;
constexpr uint16_t kSeq = TWCC_SEQERROR;
constexpr uint16_t kNoOp = TWCC_CAPBADOPERATION;

INSTANTIATE_TEST_SUITE_P(
    DeviceAndTransfer, SetValue,
    ::testing::Values(
        SetCase{"XferCountAll", CAP_XFERCOUNT, TWTY_INT16, 0xFFFF, kOk, "set_option_value role=47 value=-1\n",
                0xFFFF},
        SetCase{"XferCountFive", CAP_XFERCOUNT, TWTY_INT16, 5, kOk, "set_option_value role=47 value=5\n", 5},
        SetCase{"XferCountZero", CAP_XFERCOUNT, TWTY_INT16, 0, kBad, ""},
        SetCase{"XferCountBelowAll", CAP_XFERCOUNT, TWTY_INT16, 0xFFFE, kBad, ""},
        SetCase{"IndicatorsOff", CAP_INDICATORS, TWTY_BOOL, 0, kOk, "", 0},
        SetCase{"IndicatorsAnyNonZero", CAP_INDICATORS, TWTY_BOOL, 9, kOk, "", 1},
        SetCase{"CompressionGroup4", ICAP_COMPRESSION, TWTY_UINT16, TWCP_GROUP4, kOk, "set_compression 5\n",
                TWCP_GROUP4},
        SetCase{"CompressionJpeg", ICAP_COMPRESSION, TWTY_UINT16, TWCP_JPEG, kBad, ""},
        SetCase{"XferMechMemory", ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY, kOk, "set_transfer_mechanism 2\n",
                TWSX_MEMORY},
        SetCase{"XferMechThree", ICAP_XFERMECH, TWTY_UINT16, 3, kBad, ""},
        SetCase{"FileFormatJfif", ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWFF_JFIF, kOk, "", TWFF_JFIF},
        SetCase{"FileFormatTiff", ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWFF_TIFF, kOk, "", TWFF_TIFF},
        SetCase{"FileFormatPict", ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWFF_PICT, kBad, ""},
        SetCase{"JpegQuality100", ICAP_JPEGQUALITY, TWTY_UINT16, 100, kOk, "", 100},
        SetCase{"JpegQualityZero", ICAP_JPEGQUALITY, TWTY_UINT16, 0, kBad, ""},
        SetCase{"JpegQuality101", ICAP_JPEGQUALITY, TWTY_UINT16, 101, kBad, ""},
        SetCase{"EnabledsUiOnly", CAP_ENABLEDSUIONLY, TWTY_BOOL, 1, kNoOp, ""},
        SetCase{"PaperDetectable", CAP_PAPERDETECTABLE, TWTY_BOOL, 1, kNoOp, ""},
        SetCase{"UiControllable", CAP_UICONTROLLABLE, TWTY_BOOL, 1, kNoOp, ""},
        SetCase{"DeviceOnline", CAP_DEVICEONLINE, TWTY_BOOL, 1, kNoOp, ""},
        SetCase{"FeederLoaded", CAP_FEEDERLOADED, TWTY_BOOL, 1, kNoOp, ""},
        SetCase{"CustomDsData", CAP_CUSTOMDSDATA, TWTY_BOOL, 1, kNoOp, ""},
        SetCase{"FeederOff", CAP_FEEDERENABLED, TWTY_BOOL, 0, kOk, "", 0},
        SetCase{"FeederAnyNonZero", CAP_FEEDERENABLED, TWTY_BOOL, 5, kOk, "", 1},
        SetCase{"Duplex", CAP_DUPLEX, TWTY_UINT16, TWDX_1PASSDUPLEX, kNoOp, ""},
        SetCase{"DuplexOff", CAP_DUPLEXENABLED, TWTY_BOOL, 0, kOk, "set_option_value role=64 value=0\n", 0},
        SetCase{"DuplexAnyNonZero", CAP_DUPLEXENABLED, TWTY_BOOL, 3, kOk,
                "set_option_value role=64 value=1\n", 1},
        SetCase{"AutoFeedOff", CAP_AUTOFEED, TWTY_BOOL, 0, kOk, "", 0},
        SetCase{"AutoScanKeepsTheValue", CAP_AUTOSCAN, TWTY_BOOL, 7, kOk, "", 7},
        SetCase{"SerialNumber", CAP_SERIALNUMBER, TWTY_STR255, 0, kNoOp, ""},
        SetCase{"DoubleFeedByLength", CAP_DOUBLEFEEDDETECTION, TWTY_UINT16, TWDF_BYLENGTH, kOk,
                "set_option_value role=44 value=0\n", TWDF_BYLENGTH},
        SetCase{"DoubleFeedUltrasonic", CAP_DOUBLEFEEDDETECTION, TWTY_UINT16, TWDF_ULTRASONIC, kOk,
                "set_option_value role=44 value=1\n", TWDF_ULTRASONIC}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    FormatAndGeometry, SetValue,
    ::testing::Values(
        SetCase{"UnitsInches", ICAP_UNITS, TWTY_UINT16, TWUN_INCHES, kOk, ""},
        SetCase{"UnitsCentimetres", ICAP_UNITS, TWTY_UINT16, TWUN_CENTIMETERS, kBad, ""},
        SetCase{"BitOrderMsbFirst", ICAP_BITORDER, TWTY_UINT16, TWBO_MSBFIRST, kOk, ""},
        SetCase{"BitOrderLsbFirst", ICAP_BITORDER, TWTY_UINT16, TWBO_LSBFIRST, kBad, ""},
        SetCase{"PlanarChunkyPlanar", ICAP_PLANARCHUNKY, TWTY_UINT16, TWPC_PLANAR, kBad, ""},
        SetCase{"PixelFlavorVanilla", ICAP_PIXELFLAVOR, TWTY_UINT16, TWPF_VANILLA, kBad, ""},
        SetCase{"NativeResolution", ICAP_XNATIVERESOLUTION, TWTY_FIX32, fix32Slot(200), kNoOp, ""},
        SetCase{"PhysicalWidth", ICAP_PHYSICALWIDTH, TWTY_FIX32, fix32Slot(8), kNoOp, ""},
        SetCase{"Resolution300", ICAP_XRESOLUTION, TWTY_FIX32, fix32Slot(300), kOk,
                "set_option_value role=24 value=300\n", fix32Slot(300)},
        SetCase{"ResolutionTruncated", ICAP_XRESOLUTION, TWTY_FIX32, fix32Slot(150, 0xC000), kOk,
                "set_option_value role=24 value=150\n", fix32Slot(150)},
        // Just below the next whole number: truncated, not rounded up by a float sum.
        SetCase{"ResolutionJustBelowTheNext", ICAP_XRESOLUTION, TWTY_FIX32, fix32Slot(300, 0xFFFF), kOk,
                "set_option_value role=24 value=300\n", fix32Slot(300)},
        SetCase{"ResolutionRefused", ICAP_XRESOLUTION, TWTY_FIX32, fix32Slot(250), kBad,
                "set_option_value role=24 value=250 refused\n"},
        SetCase{"BitDepth8", ICAP_BITDEPTH, TWTY_UINT16, 8, kOk, "set_option_value role=57 value=1\n", 8},
        SetCase{"BitDepth16", ICAP_BITDEPTH, TWTY_UINT16, 16, kBad,
                "set_option_value role=57 value=16 refused\n"},
        SetCase{"PixelTypeBw", ICAP_PIXELTYPE, TWTY_UINT16, TWPT_BW, kOk,
                "set_option_value role=57 value=0\n", TWPT_BW},
        SetCase{"PixelTypePalette", ICAP_PIXELTYPE, TWTY_UINT16, TWPT_PALETTE, kBad,
                "set_option_value role=57 value=3 refused\n"},
        SetCase{"SizeLetter", ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_USLETTER, kOk,
                "set_option_value role=59 value=3\n", TWSS_USLETTER},
        SetCase{"SizeNone", ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_NONE, kBad,
                "set_option_value role=59 value=0 refused\n"},
        SetCase{"OrientationLandscape", ICAP_ORIENTATION, TWTY_UINT16, TWOR_LANDSCAPE, kOk,
                "set_option_value role=60 value=1\n", TWOR_LANDSCAPE},
        SetCase{"OrientationRot90IsPortrait", ICAP_ORIENTATION, TWTY_UINT16, TWOR_ROT90, kOk,
                "set_option_value role=60 value=0\n", TWOR_ROT0},
        SetCase{"Rotation90", ICAP_ROTATION, TWTY_FIX32, fix32Slot(90), kOk,
                "set_option_value role=63 value=90\n", fix32Slot(90)},
        SetCase{"RotationRefused", ICAP_ROTATION, TWTY_FIX32, fix32Slot(45, 0x8000), kBad,
                "set_option_value role=63 value=45 refused\n"},
        SetCase{"AutoSizeAuto", ICAP_AUTOSIZE, TWTY_UINT16, TWAS_AUTO, kOk,
                "set_option_value role=61 value=1\n", TWAS_AUTO},
        SetCase{"AutoSizeCurrentIsNone", ICAP_AUTOSIZE, TWTY_UINT16, TWAS_CURRENT, kOk,
                "set_option_value role=61 value=0\n", TWAS_NONE},
        SetCase{"AutomaticColorOn", ICAP_AUTOMATICCOLORENABLED, TWTY_BOOL, 1, kOk,
                "set_option_value role=3 value=2572\n", 1},
        SetCase{"AutomaticColorOff", ICAP_AUTOMATICCOLORENABLED, TWTY_BOOL, 0, kOk,
                "set_option_value role=3 value=2\n", 0},
        SetCase{"NonColorGray", ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE, TWTY_UINT16, TWPT_GRAY, kOk,
                "set_option_value role=56 value=1\n", TWPT_GRAY},
        SetCase{"NonColorRgb", ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE, TWTY_UINT16, TWPT_RGB, kSeq, ""}),
    [](const auto& info) { return std::string(info.param.name); });

class Device : public CapabilityTest {};

TEST_F(Device, CompressionListsNoneAndGroup4) {
    openSource();
    ASSERT_EQ(setOneValue(ICAP_COMPRESSION, TWTY_UINT16, uint16_t{TWCP_GROUP4}), TWRC_SUCCESS);
    const Answer answer = get(ICAP_COMPRESSION);
    EXPECT_EQ(answer.conType, TWON_ENUMERATION);
    EXPECT_EQ(answer.itemType, TWTY_UINT16);
    EXPECT_EQ(answer.items, (std::vector<uint32_t>{TWCP_NONE, TWCP_GROUP4}));
    EXPECT_EQ(answer.currentIndex, 1u);
    EXPECT_EQ(answer.defaultIndex, 0u);
}

TEST_F(Device, FileFormatsComeFromTheScannerAndTheValueFromTheSource) {
    testsupport::useProfile(
        R"({"base": "default", "options": {"72": {"type": "format", "list": [4, 1, 2]}}})");
    openSource();
    ASSERT_EQ(setOneValue(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, uint16_t{TWFF_JFIF}), TWRC_SUCCESS);
    Answer answer = get(ICAP_IMAGEFILEFORMAT);
    EXPECT_EQ(answer.items, (std::vector<uint32_t>{TWFF_JFIF, TWFF_PICT, TWFF_BMP}));
    EXPECT_EQ(answer.currentIndex, 0u);
    EXPECT_EQ(answer.defaultIndex, 2u);
    // Listed by the scanner, still not a format the transfer writes.
    EXPECT_EQ(setOneValue(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, uint16_t{TWFF_PICT}), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADVALUE);
    // TIFF is not listed: its index is past the list.
    ASSERT_EQ(setOneValue(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, uint16_t{TWFF_TIFF}), TWRC_SUCCESS);
    EXPECT_EQ(get(ICAP_IMAGEFILEFORMAT).currentIndex, 3u);
}

TEST_F(Device, FixedAndReadOnlyValues) {
    openSource();
    const struct {
        uint16_t cap;
        uint16_t conType;
        uint16_t itemType;
        uint32_t value;
    } fixed[] = {
        {CAP_DUPLEX, TWON_ONEVALUE, TWTY_UINT16, TWDX_1PASSDUPLEX},
        {CAP_ENABLEDSUIONLY, TWON_ENUMERATION, TWTY_BOOL, 1},
        {CAP_UICONTROLLABLE, TWON_ONEVALUE, TWTY_BOOL, 1},
        {CAP_PAPERDETECTABLE, TWON_ONEVALUE, TWTY_BOOL, 1},
        {CAP_CUSTOMDSDATA, TWON_ONEVALUE, TWTY_BOOL, 1},
        {CAP_DEVICEONLINE, TWON_ONEVALUE, TWTY_BOOL, 1},
        {CAP_FEEDERLOADED, TWON_ONEVALUE, TWTY_BOOL, 1},
        {CAP_XFERCOUNT, TWON_ONEVALUE, TWTY_INT16, 0xFFFF},
        {CAP_AUTOFEED, TWON_ENUMERATION, TWTY_BOOL, 1},
        {CAP_INDICATORS, TWON_ENUMERATION, TWTY_BOOL, 1},
        {CAP_DOUBLEFEEDDETECTION, TWON_ONEVALUE, TWTY_UINT16, TWDF_ULTRASONIC},
        {ICAP_JPEGQUALITY, TWON_ONEVALUE, TWTY_UINT16, 80},
    };
    for (const auto& f : fixed) {
        SCOPED_TRACE(testing::Message() << "cap 0x" << std::hex << f.cap);
        const Answer answer = get(f.cap);
        EXPECT_EQ(answer.conType, f.conType);
        EXPECT_EQ(answer.itemType, f.itemType);
        EXPECT_EQ(current(f.cap), f.value);
    }
}

TEST_F(Device, OfflineAndEmptyFeederAreReadOnEveryCall) {
    testsupport::useProfile(R"({"base": "default", "online": false, "feeder": {"loaded": false}})");
    openSource();
    EXPECT_EQ(current(CAP_DEVICEONLINE), 0u);
    EXPECT_EQ(current(CAP_FEEDERLOADED), 0u);
}

TEST_F(Device, SerialNumberIsCutAt255Characters) {
    const std::string serial(300, 'S');
    testsupport::useProfile(R"({"base": "default", "options": {"73": {"type": "text", "default": ")" +
                            serial + R"("}}})");
    openSource();
    ASSERT_EQ(capability(MSG_GET, CAP_SERIALNUMBER), TWRC_SUCCESS);
    EXPECT_EQ(captest::read(answer()).itemType, TWTY_STR255);
    EXPECT_EQ(captest::readText(answer()), serial.substr(0, 255));
}

// A device without the options the records read: fallbacks for the reads, the record's refusal for
// the writes, and nothing written.
TEST_F(Device, MissingOptionsFallBackAndRefuseWrites) {
    testsupport::useProfile("minimal");
    openSource();
    EXPECT_EQ(current(CAP_XFERCOUNT), 0xFFFFu);
    EXPECT_EQ(current(CAP_DUPLEXENABLED), 1u);
    EXPECT_EQ(current(CAP_DOUBLEFEEDDETECTION), uint32_t{TWDF_ULTRASONIC});
    EXPECT_EQ(get(CAP_DOUBLEFEEDDETECTION).conType, TWON_ONEVALUE);
    EXPECT_EQ(captest::readText((capability(MSG_GET, CAP_SERIALNUMBER), answer())), "");
    testsupport::SimulatedBackend::instance().clearJournal();

    const struct {
        uint16_t cap;
        uint16_t itemType;
        uint32_t value;
        uint16_t condition;
    } writes[] = {
        {CAP_XFERCOUNT, TWTY_INT16, 5, TWCC_BADVALUE},
        {CAP_DUPLEXENABLED, TWTY_BOOL, 0, TWCC_BADVALUE},
        {CAP_DOUBLEFEEDDETECTION, TWTY_UINT16, TWDF_BYLENGTH, TWCC_SEQERROR},
        {ICAP_ORIENTATION, TWTY_UINT16, TWOR_LANDSCAPE, TWCC_BADVALUE},
        {ICAP_AUTOSIZE, TWTY_UINT16, TWAS_AUTO, TWCC_BADVALUE},
        {ICAP_ROTATION, TWTY_FIX32, fix32Slot(90), TWCC_BADVALUE},
        {ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_A4, TWCC_BADVALUE},
        {ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE, TWTY_UINT16, TWPT_GRAY, TWCC_SEQERROR},
    };
    for (const auto& w : writes) {
        EXPECT_EQ(setOneValue(w.cap, w.itemType, w.value), TWRC_FAILURE) << "cap 0x" << std::hex << w.cap;
        EXPECT_EQ(condition(), w.condition) << "cap 0x" << std::hex << w.cap;
        TW_CAPABILITY reset{w.cap, TWON_DONTCARE16, nullptr};
        EXPECT_EQ(app().capability(MSG_RESET, reset), TWRC_FAILURE) << "cap 0x" << std::hex << w.cap;
        EXPECT_EQ(condition(), w.condition) << "cap 0x" << std::hex << w.cap;
        app().freeContainer(reset);
    }
    // Automatic colour is taken whatever the device does with it.
    EXPECT_EQ(setOneValue(ICAP_AUTOMATICCOLORENABLED, TWTY_BOOL, uint16_t{1}), TWRC_SUCCESS);
    EXPECT_EQ(current(ICAP_AUTOMATICCOLORENABLED), 0u);
    EXPECT_EQ(journal(), "");
}

} // namespace
