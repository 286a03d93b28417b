// The capability tables and the negotiation rules every capability shares, through DS_Entry.
#include "tests/capabilities/CapabilityTest.h"

#include "datasource/capabilities/Patterns.h"

#include <algorithm>
#include <map>

using namespace Twpp;
using captest::Answer;
using captest::CapabilityTest;

namespace {

// Every standard capability the default device offers until the image-processing and option
// capabilities land.
const std::vector<uint16_t> kDefaultDeviceCaps = {
    CAP_XFERCOUNT,
    ICAP_COMPRESSION,
    ICAP_PIXELTYPE,
    ICAP_UNITS,
    ICAP_XFERMECH,
    CAP_FEEDERENABLED,
    CAP_FEEDERLOADED,
    CAP_SUPPORTEDCAPS,
    CAP_AUTOFEED,
    CAP_INDICATORS,
    CAP_PAPERDETECTABLE,
    CAP_UICONTROLLABLE,
    CAP_DEVICEONLINE,
    CAP_AUTOSCAN,
    CAP_DUPLEX,
    CAP_DUPLEXENABLED,
    CAP_ENABLEDSUIONLY,
    CAP_CUSTOMDSDATA,
    CAP_SERIALNUMBER,
    CAP_DOUBLEFEEDDETECTION,
    ICAP_IMAGEFILEFORMAT,
    ICAP_ORIENTATION,
    ICAP_PHYSICALWIDTH,
    ICAP_PHYSICALHEIGHT,
    ICAP_XNATIVERESOLUTION,
    ICAP_YNATIVERESOLUTION,
    ICAP_XRESOLUTION,
    ICAP_YRESOLUTION,
    ICAP_BITORDER,
    ICAP_PIXELFLAVOR,
    ICAP_PLANARCHUNKY,
    ICAP_ROTATION,
    ICAP_SUPPORTEDSIZES,
    ICAP_BITDEPTH,
    ICAP_JPEGQUALITY,
    ICAP_AUTOSIZE,
    ICAP_AUTOMATICCOLORENABLED,
    ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE,
};
const std::vector<uint16_t> kReadOnlyCaps = {
    CAP_SUPPORTEDCAPS,      CAP_UICONTROLLABLE, CAP_DEVICEONLINE,    ICAP_XNATIVERESOLUTION,
    ICAP_YNATIVERESOLUTION, ICAP_PHYSICALWIDTH, ICAP_PHYSICALHEIGHT, CAP_ENABLEDSUIONLY,
    CAP_PAPERDETECTABLE,    CAP_DUPLEX,         CAP_SERIALNUMBER,    CAP_CUSTOMDSDATA,
    CAP_FEEDERLOADED,
};
bool isReadOnly(uint16_t id) { return std::count(kReadOnlyCaps.begin(), kReadOnlyCaps.end(), id) != 0; }

class Negotiation : public CapabilityTest {};

TEST_F(Negotiation, SupportedCapsListsExactlyTheRegisteredIdsInAscendingOrder) {
    openSource();
    std::vector<uint16_t> expected = kDefaultDeviceCaps;
    std::sort(expected.begin(), expected.end());
    const Answer answer = get(CAP_SUPPORTEDCAPS);
    EXPECT_EQ(answer.conType, TWON_ARRAY);
    EXPECT_EQ(answer.itemType, TWTY_UINT16);
    EXPECT_EQ(supportedCaps(), expected);
    // The same list for the one-value messages, and no set.
    EXPECT_EQ(capability(MSG_GETCURRENT, CAP_SUPPORTEDCAPS), TWRC_SUCCESS);
    EXPECT_EQ(captest::read(this->answer()).items.size(), expected.size());
    EXPECT_EQ(setOneValue(CAP_SUPPORTEDCAPS, TWTY_UINT16, uint16_t{CAP_XFERCOUNT}), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_CAPBADOPERATION);
}

// Every listed id answers its five messages as its query-support flags say: read messages with the
// requested id and one item type throughout, resets only where supported.
TEST_F(Negotiation, EveryListedCapabilityAnswersItsMessagesAsItsFlagsSay) {
    openSource();
    for (const uint16_t id : supportedCaps()) {
        SCOPED_TRACE(testing::Message() << "cap 0x" << std::hex << id);
        ASSERT_EQ(capability(MSG_QUERYSUPPORT, id), TWRC_SUCCESS);
        const uint32_t flags = captest::read(answer()).items.at(0);
        EXPECT_EQ(flags, isReadOnly(id) ? 0x0Du : 0x1Fu);

        const Answer full = get(id);
        EXPECT_EQ(answer().Cap, id);
        if (id == CAP_SUPPORTEDCAPS)
            continue;
        for (const uint16_t msg : {MSG_GETCURRENT, MSG_GETDEFAULT}) {
            ASSERT_EQ(capability(msg, id), TWRC_SUCCESS) << "msg " << msg;
            EXPECT_EQ(answer().Cap, id);
            EXPECT_EQ(answer().ConType, TWON_ONEVALUE);
            EXPECT_EQ(captest::read(answer()).itemType, full.itemType);
        }
        const uint16_t reset = capability(MSG_RESET, id);
        if (flags & TWQC_RESET) {
            EXPECT_EQ(reset, TWRC_SUCCESS) << "condition " << condition();
            EXPECT_EQ(answer().ConType, TWON_ONEVALUE);
        } else {
            EXPECT_EQ(reset, TWRC_FAILURE);
            EXPECT_EQ(condition(), TWCC_CAPBADOPERATION);
        }
    }
}

TEST_F(Negotiation, UnregisteredIdIsUnsupportedButQueriesAsNoOperation) {
    openSource();
    for (const uint16_t msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET}) {
        EXPECT_EQ(capability(msg, ICAP_BRIGHTNESS), TWRC_FAILURE);
        EXPECT_EQ(condition(), TWCC_CAPUNSUPPORTED);
        EXPECT_EQ(answer().hContainer, nullptr);
    }
    ASSERT_EQ(capability(MSG_QUERYSUPPORT, 0x8801), TWRC_SUCCESS);
    const Answer flags = captest::read(answer());
    EXPECT_EQ(flags.conType, TWON_ONEVALUE);
    EXPECT_EQ(flags.itemType, TWTY_INT32);
    EXPECT_EQ(flags.items, std::vector<uint32_t>{0});
}

TEST_F(Negotiation, HelpLabelsAndConstraintsAreNotOffered) {
    openSource();
    for (const uint16_t msg : {MSG_GETHELP, MSG_GETLABEL, MSG_GETLABELENUM, MSG_SETCONSTRAINT}) {
        EXPECT_EQ(sendContainer(msg, CAP_XFERCOUNT, TWON_ONEVALUE, {TWTY_INT16, 0, 5, 0, 0, 0}),
                  TWRC_FAILURE);
        EXPECT_EQ(condition(), TWCC_BADPROTOCOL) << "msg " << msg;
    }
}

TEST_F(Negotiation, GetDefaultLeavesTheCurrentValueInEffect) {
    openSource();
    ASSERT_EQ(setOneValue(ICAP_XRESOLUTION, TWTY_FIX32, captest::fix32Slot(300)), TWRC_SUCCESS);
    EXPECT_EQ(itemOf(MSG_GETDEFAULT, ICAP_XRESOLUTION), captest::fix32Slot(200));
    EXPECT_EQ(current(ICAP_XRESOLUTION), captest::fix32Slot(300));
}

// The application keeps its container whatever the message and whatever the answer; the answer
// comes in a container of the source's.
TEST_F(Negotiation, TheApplicationsContainerIsNeverFreedBySource) {
    openSource();
    const std::vector<uint8_t> bw = captest::enumerationOf(TWTY_UINT16, {TWPT_BW, TWPT_GRAY}, 1);
    for (const uint16_t msg :
         {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET, MSG_SET, MSG_QUERYSUPPORT}) {
        SCOPED_TRACE(testing::Message() << "msg " << msg);
        EXPECT_EQ(sendContainer(msg, ICAP_PIXELTYPE, TWON_ENUMERATION, bw), TWRC_SUCCESS);
    }
    // Refused values, a container the record cannot read and an unknown id keep it as well.
    EXPECT_EQ(sendContainer(MSG_SET, ICAP_JPEGQUALITY, TWON_ONEVALUE, {4, 0, 0, 0, 0, 0}), TWRC_FAILURE);
    EXPECT_EQ(sendContainer(MSG_SET, ICAP_PIXELTYPE, TWON_RANGE, captest::rangeOf(TWTY_UINT16, 0, 2, 1, 1)),
              TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADVALUE);
    EXPECT_EQ(sendContainer(MSG_GET, 0x8123, TWON_ONEVALUE, {4, 0, 0, 0, 0, 0}), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_CAPUNSUPPORTED);
}

TEST_F(Negotiation, SetReadsTheCurrentItemOfEveryNumericContainerForm) {
    openSource();
    EXPECT_EQ(
        sendContainer(MSG_SET, ICAP_JPEGQUALITY, TWON_RANGE, captest::rangeOf(TWTY_UINT16, 1, 100, 1, 55)),
        TWRC_SUCCESS);
    EXPECT_EQ(current(ICAP_JPEGQUALITY), 55u);
    EXPECT_EQ(sendContainer(MSG_SET, ICAP_JPEGQUALITY, TWON_ENUMERATION,
                            captest::enumerationOf(TWTY_UINT16, {10, 20, 30}, 2)),
              TWRC_SUCCESS);
    EXPECT_EQ(current(ICAP_JPEGQUALITY), 30u);
    // An index past the application's list is refused rather than read.
    EXPECT_EQ(sendContainer(MSG_SET, ICAP_JPEGQUALITY, TWON_ENUMERATION,
                            captest::enumerationOf(TWTY_UINT16, {10, 20}, 2)),
              TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADVALUE);
    EXPECT_EQ(current(ICAP_JPEGQUALITY), 30u);
}

// After MSG_RESETALL every capability that can be reset answers its default as its current value,
// and the scanner received the defaults of the options that were changed.
TEST_F(Negotiation, ResetAllRestoresEveryDefault) {
    openSource();
    const struct {
        uint16_t cap;
        uint16_t itemType;
        uint32_t value;
    } changes[] = {
        {CAP_XFERCOUNT, TWTY_INT16, 5},
        {ICAP_COMPRESSION, TWTY_UINT16, TWCP_GROUP4},
        {ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY},
        {ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWFF_JFIF},
        {ICAP_JPEGQUALITY, TWTY_UINT16, 40},
        {CAP_FEEDERENABLED, TWTY_BOOL, 0},
        {CAP_AUTOFEED, TWTY_BOOL, 0},
        {CAP_AUTOSCAN, TWTY_BOOL, 1},
        {CAP_INDICATORS, TWTY_BOOL, 0},
        {CAP_DUPLEXENABLED, TWTY_BOOL, 0},
        {CAP_DOUBLEFEEDDETECTION, TWTY_UINT16, TWDF_BYLENGTH},
        {ICAP_XRESOLUTION, TWTY_FIX32, 600},
        {ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY},
        {ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_USLETTER},
        {ICAP_ORIENTATION, TWTY_UINT16, TWOR_LANDSCAPE},
        {ICAP_ROTATION, TWTY_FIX32, 90},
        {ICAP_AUTOSIZE, TWTY_UINT16, TWAS_AUTO},
        {ICAP_AUTOMATICCOLORENABLED, TWTY_BOOL, 1},
        {ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE, TWTY_UINT16, TWPT_BW},
    };
    for (const auto& change : changes) {
        ASSERT_EQ(setOneValue(change.cap, change.itemType, change.value), TWRC_SUCCESS)
            << "cap 0x" << std::hex << change.cap;
        ASSERT_NE(itemOf(MSG_GETDEFAULT, change.cap), current(change.cap))
            << "cap 0x" << std::hex << change.cap;
    }
    testsupport::SimulatedBackend::instance().clearJournal();

    TW_CAPABILITY none{0, TWON_DONTCARE16, nullptr};
    ASSERT_EQ(app().capability(MSG_RESETALL, none), TWRC_SUCCESS);
    EXPECT_EQ(none.hContainer, nullptr);

    for (const uint16_t id : supportedCaps()) {
        ASSERT_EQ(capability(MSG_QUERYSUPPORT, id), TWRC_SUCCESS);
        if (captest::read(answer()).items.at(0) & TWQC_RESET) {
            EXPECT_EQ(current(id), itemOf(MSG_GETDEFAULT, id)) << "cap 0x" << std::hex << id;
        }
    }
    EXPECT_EQ(current(CAP_XFERCOUNT), 0xFFFFu);
    EXPECT_EQ(current(ICAP_XFERMECH), uint32_t{TWSX_NATIVE});
    EXPECT_EQ(current(ICAP_COMPRESSION), uint32_t{TWCP_NONE});
    const std::string written = journal();
    for (const char* line :
         {"set_option_value role=47 value=-1", "set_compression 0", "set_transfer_mechanism 0",
          "set_option_value role=24 value=200", "set_option_value role=57 value=2",
          "set_option_value role=56 value=1", "set_option_value role=3 value=2"})
        EXPECT_NE(written.find(line), std::string::npos) << line << " missing from\n" << written;
}

// One handler serves both resolution ids: the answer names the id asked for, and both read and write
// the same option.
TEST_F(Negotiation, CopiedHandlerAnswersUnderTheRequestedId) {
    openSource();
    EXPECT_EQ(get(ICAP_YRESOLUTION).items.size(), 7u);
    EXPECT_EQ(answer().Cap, ICAP_YRESOLUTION);
    EXPECT_EQ(capability(MSG_GETDEFAULT, ICAP_YNATIVERESOLUTION), TWRC_SUCCESS);
    EXPECT_EQ(answer().Cap, ICAP_YNATIVERESOLUTION);

    ASSERT_EQ(setOneValue(ICAP_YRESOLUTION, TWTY_FIX32, captest::fix32Slot(150, 0xC000)), TWRC_SUCCESS);
    EXPECT_NE(journal().find("set_option_value role=24 value=150"), std::string::npos) << journal();
    EXPECT_EQ(current(ICAP_XRESOLUTION), captest::fix32Slot(150));
    EXPECT_EQ(answer().Cap, ICAP_XRESOLUTION);
}

// Each open builds the tables anew for the device then connected.
TEST_F(Negotiation, DeviceWithoutIndicatorsHasNeitherIndicatorCapability) {
    testsupport::useProfile(R"({"base": "default", "indicators": false})");
    openSource();
    for (const uint16_t id : {CAP_UICONTROLLABLE, CAP_INDICATORS}) {
        EXPECT_EQ(capability(MSG_GET, id), TWRC_FAILURE);
        EXPECT_EQ(condition(), TWCC_CAPUNSUPPORTED);
        EXPECT_EQ(itemOf(MSG_QUERYSUPPORT, id), 0u);
    }
    const std::vector<uint16_t> listed = supportedCaps();
    EXPECT_EQ(listed.size(), kDefaultDeviceCaps.size() - 2);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), CAP_INDICATORS), 0);

    // The flag the user interface gets is the device's answer.
    TW_USERINTERFACE ui{};
    ui.ShowUI = 1;
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS) << condition();
    EXPECT_NE(journal().find("indicators=0"), std::string::npos) << journal();
}

// The mapping between a scanner range and a fixed TWAIN range, including ranges of a single value.
TEST(LinearMap, MapsBothWaysAndSurvivesEmptyRanges) {
    const tarsin::caps::LinearMap brightness{1.0f, 255.0f, -1000.0f, 1000.0f};
    EXPECT_FLOAT_EQ(brightness.toTwain(1.0f), -1000.0f);
    EXPECT_FLOAT_EQ(brightness.toTwain(255.0f), 1000.0f);
    EXPECT_FLOAT_EQ(brightness.toTwain(128.0f), 0.0f);
    EXPECT_NEAR(brightness.stepToTwain(1.0f), 7.874f, 1e-3f);
    EXPECT_EQ(brightness.fromTwain(0.0f), 128);
    EXPECT_EQ(brightness.fromTwain(1000.0f), 255);
    EXPECT_EQ(brightness.fromTwain(-1000.0f), 1);

    const tarsin::caps::LinearMap single{7.0f, 7.0f, -1000.0f, 1000.0f};
    EXPECT_FLOAT_EQ(single.toTwain(7.0f), -1000.0f);
    EXPECT_FLOAT_EQ(single.stepToTwain(1.0f), 0.0f);
    EXPECT_EQ(single.fromTwain(500.0f), 7);
    const tarsin::caps::LinearMap flat{0.0f, 10.0f, 5.0f, 5.0f};
    EXPECT_EQ(flat.fromTwain(5.0f), 0);
}

} // namespace
