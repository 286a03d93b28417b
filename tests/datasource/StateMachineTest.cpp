// The state rules of an open instance, through DS_Entry: which triplet passes in which state, the
// order of the checks, and the moves between states.
#include "tests/support/SourceFixture.h"

using namespace Twpp;
using testsupport::SourceTest;

namespace {

class StateMachine : public SourceTest {
protected:
    // State 5: enabled without the device's interface, scanning started.
    void enable() {
        openSource();
        TW_USERINTERFACE ui{};
        ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    }
    // State 6: the first page announced.
    void reachTransferReady() {
        enable();
        TW_EVENT event{};
        for (int poll = 0; poll < 10 && app().notifications().empty(); ++poll)
            EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
        ASSERT_FALSE(app().notifications().empty());
        ASSERT_EQ(app().notifications().back().msg, MSG_XFERREADY);
    }
    uint32_t group() {
        uint32_t value = 0;
        call(DG_CONTROL, DAT_XFERGROUP, MSG_GET, &value);
        return value;
    }
};

struct Check {
    const char* name;
    uint32_t dg;
    uint16_t dat;
    uint16_t msg;
    bool withData;
    uint16_t returnCode;
    uint16_t condition;
};
class OpenInstance : public StateMachine, public ::testing::WithParamInterface<Check> {};

// In state 4: the group routers test the data pointer before the DAT, the DAT routers the message
// and the state.
TEST_P(OpenInstance, AnswersInStateFour) {
    openSource();
    const Check c = GetParam();
    alignas(8) uint8_t data[1200] = {};
    EXPECT_EQ(call(c.dg, c.dat, c.msg, c.withData ? data : nullptr), c.returnCode);
    EXPECT_EQ(condition(), c.condition);
}
INSTANTIATE_TEST_SUITE_P(
    Table, OpenInstance,
    ::testing::Values(
        Check{"ParentWithData", DG_CONTROL, DAT_PARENT, MSG_OPENDSM, true, TWRC_FAILURE, TWCC_BADPROTOCOL},
        Check{"ParentWithoutData", DG_CONTROL, DAT_PARENT, MSG_OPENDSM, false, TWRC_FAILURE, TWCC_BADVALUE},
        Check{"ImageInfoWithoutData", DG_IMAGE, DAT_IMAGEINFO, MSG_GET, false, TWRC_FAILURE, TWCC_BADVALUE},
        Check{"FileTransferWithoutDataReachesItsRouter", DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, false,
              TWRC_FAILURE, TWCC_SEQERROR},
        Check{"CapabilityGetFirst", DG_CONTROL, DAT_CAPABILITY, MSG_GETFIRST, true, TWRC_FAILURE,
              TWCC_BADPROTOCOL},
        Check{"CapabilityHelpIsDefault", DG_CONTROL, DAT_CAPABILITY, MSG_GETHELP, true, TWRC_FAILURE,
              TWCC_BADPROTOCOL},
        Check{"SetWithoutContainer", DG_CONTROL, DAT_CAPABILITY, MSG_SET, true, TWRC_FAILURE, TWCC_BADVALUE},
        Check{"CustomDataUnlistedMessage", DG_CONTROL, DAT_CUSTOMDSDATA, MSG_RESET, true, TWRC_FAILURE,
              TWCC_BADPROTOCOL},
        Check{"DeviceEventNeverQueued", DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, true, TWRC_FAILURE,
              TWCC_SEQERROR},
        Check{"CloseRequestedOutOfState", DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, true, TWRC_FAILURE,
              TWCC_SEQERROR},
        Check{"EventOutOfState", DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, true, TWRC_FAILURE, TWCC_SEQERROR},
        Check{"AudioGroup", DG_AUDIO, DAT_AUDIOINFO, MSG_GET, true, TWRC_FAILURE, TWCC_SEQERROR},
        Check{"UnknownGroup", 0x10, DAT_CAPABILITY, MSG_GET, true, TWRC_FAILURE, TWCC_BADPROTOCOL},
        Check{"EntryPointAfterOpen", DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, true, TWRC_FAILURE,
              TWCC_BADPROTOCOL},
        Check{"JpegCompressionIsDefault", DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_GET, true, TWRC_FAILURE,
              TWCC_BADPROTOCOL},
        Check{"GrayResponseIsDefault", DG_IMAGE, DAT_GRAYRESPONSE, MSG_SET, true, TWRC_FAILURE,
              TWCC_BADPROTOCOL},
        Check{"ExtImageInfoNeedsStateSeven", DG_IMAGE, DAT_EXTIMAGEINFO, MSG_GET, true, TWRC_FAILURE,
              TWCC_SEQERROR},
        Check{"StatusUtf8IsDefault", DG_CONTROL, DAT_STATUSUTF8, MSG_GET, true, TWRC_FAILURE,
              TWCC_BADPROTOCOL}),
    [](const auto& info) { return info.param.name; });

TEST_F(StateMachine, StatusOfAnInstanceAnswersItsPreviousCall) {
    openSource();
    TW_CUSTOMDSDATA custom{};
    call(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_RESET, &custom);
    EXPECT_EQ(condition(), TWCC_BADPROTOCOL);
    EXPECT_EQ(condition(), TWCC_SUCCESS);
}

TEST_F(StateMachine, EnabledSourceRefusesNegotiationButAnswersQuestions) {
    enable();
    TW_CAPABILITY cap{CAP_XFERCOUNT, TWON_ONEVALUE, host::hostAllocate(6)};
    EXPECT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
    host::hostFree(cap.hContainer);
    // The state is tested before the message for custom data.
    TW_CUSTOMDSDATA custom{};
    EXPECT_EQ(call(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_RESET, &custom), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
    EXPECT_EQ(capability(MSG_GET, CAP_SUPPORTEDCAPS), TWRC_SUCCESS);
    EXPECT_EQ(group(), DG_IMAGE);
}

TEST_F(StateMachine, ProcessEventAnnouncesThePageAndMovesToSix) {
    reachTransferReady();
    const host::Notification ready = app().notifications().back();
    EXPECT_EQ(ready.destinationId, app().identity().Id);
    EXPECT_EQ(ready.sourceId, app().sourceIdentity().Id);
    // State 6 refuses a second enable and a close, and accepts the group question.
    TW_USERINTERFACE ui{};
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
    EXPECT_EQ(app().close(), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
    EXPECT_EQ(group(), DG_IMAGE);
    // Disabling from any state stops the scanner and returns to 4.
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_NE(journal().find("stop_scan"), std::string::npos);
    TW_CAPABILITY cap{CAP_XFERCOUNT, TWON_ONEVALUE, host::hostAllocate(6)};
    call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
    EXPECT_NE(condition(), TWCC_SEQERROR) << "state 4 again: negotiation is open";
    host::hostFree(cap.hContainer);
}

TEST_F(StateMachine, RefusedNotificationKeepsTheState) {
    enable();
    app().setNotificationAnswer(TWRC_FAILURE);
    TW_EVENT event{};
    for (int poll = 0; poll < 3; ++poll)
        call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    ASSERT_FALSE(app().notifications().empty());
    // Still 5: the group question passes (4 to 6) and a transfer is refused (6 only).
    EXPECT_EQ(group(), DG_IMAGE);
    Handle dib = nullptr;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
}

TEST_F(StateMachine, EndOfTransferCountsWhatRemains) {
    useProfile(R"({"base": "default", "feeder": {"sheets": 2}, "options": {"64": {"current": false}}})");
    reachTransferReady();
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_GT(pending.Count, 0);
    // Count non-zero: still 6, so a stop-feeder request is admitted.
    EXPECT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_STOPFEEDER, &pending), TWRC_SUCCESS);
    // Reset discards nothing in the backend but returns to 5.
    EXPECT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_STOPFEEDER, &pending), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
}

TEST_F(StateMachine, OnlyOneInstanceOfTheProcessIsEnabled) {
    reachTransferReady();
    auto other = makeApplication();
    ASSERT_EQ(other->open(), TWRC_SUCCESS);
    TW_USERINTERFACE ui{};
    EXPECT_EQ(other->call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_FAILURE);
    EXPECT_EQ(other->condition(), TWCC_SEQERROR);
    EXPECT_EQ(group(), DG_IMAGE) << "the first instance is still in state 6";
    EXPECT_EQ(other->close(), TWRC_SUCCESS);
}

TEST_F(StateMachine, CloseFromStateFiveSucceeds) {
    enable();
    EXPECT_EQ(app().close(), TWRC_SUCCESS);
    EXPECT_EQ(testsupport::SimulatedBackend::instance().liveScanners(), 0);
}

} // namespace
