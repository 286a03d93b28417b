// DS_Entry as the manager and applications call it: identity and status without an open source,
// the instance registry, the link back to the manager.
#include "tests/support/SourceFixture.h"

#include <cstring>

using namespace Twpp;
using testsupport::SourceTest;

namespace {

class EntryPoint : public SourceTest {};

TEST_F(EntryPoint, IdentityWithoutInstanceKeepsTheCallersId) {
    TW_IDENTITY identity{};
    identity.Id = 1234;
    ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
    EXPECT_EQ(identity.Id, 1234u);
    EXPECT_EQ(identity.Version.MajorNum, 4);
    EXPECT_EQ(identity.Version.MinorNum, 14);
    EXPECT_EQ(identity.Version.Language, TWLG_ENGLISH);
    EXPECT_EQ(identity.Version.Country, TWCY_CHINA);
    EXPECT_STREQ(identity.Version.Info, "v4.14.16000.22216");
    EXPECT_EQ(identity.ProtocolMajor, 2);
    EXPECT_EQ(identity.ProtocolMinor, 3);
    EXPECT_EQ(identity.SupportedGroups, 0x40000003u);
    EXPECT_STREQ(identity.Manufacturer, "Ombrix");
    EXPECT_STREQ(identity.ProductFamily, "V3300 Series");
    EXPECT_STREQ(identity.ProductName, "OMBRIXSCAN V3300 TWAIN");
    // The bytes after each text are zero.
    for (std::size_t i = std::strlen(identity.ProductName); i < sizeof identity.ProductName; ++i)
        EXPECT_EQ(identity.ProductName[i], 0);

    identity.Id = 77;
    ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &identity), TWRC_SUCCESS);
    EXPECT_EQ(identity.Id, 0u);
}

struct NoInstanceCase {
    const char* name;
    uint32_t dg;
    uint16_t dat;
    uint16_t msg;
    bool withData;
    uint16_t returnCode;
    uint16_t condition;
};
class WithoutInstance : public SourceTest, public ::testing::WithParamInterface<NoInstanceCase> {};

TEST_P(WithoutInstance, AnswersByTheTable) {
    const NoInstanceCase c = GetParam();
    alignas(8) uint8_t buffer[512] = {};
    EXPECT_EQ(call(c.dg, c.dat, c.msg, c.withData ? buffer : nullptr), c.returnCode);
    EXPECT_EQ(condition(), c.condition);
}

INSTANTIATE_TEST_SUITE_P(Table, WithoutInstance,
                         ::testing::Values(NoInstanceCase{"ImageGroup", DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                                                          true, TWRC_FAILURE, TWCC_SEQERROR},
                                           NoInstanceCase{"Capability", DG_CONTROL, DAT_CAPABILITY, MSG_GET,
                                                          true, TWRC_FAILURE, TWCC_BADPROTOCOL},
                                           NoInstanceCase{"IdentityNullData", DG_CONTROL, DAT_IDENTITY,
                                                          MSG_GET, false, TWRC_FAILURE, TWCC_BADVALUE},
                                           NoInstanceCase{"UserSelectNullData", DG_CONTROL, DAT_IDENTITY,
                                                          MSG_USERSELECT, false, TWRC_FAILURE, TWCC_BADVALUE},
                                           NoInstanceCase{"CloseWithoutInstance", DG_CONTROL, DAT_IDENTITY,
                                                          MSG_CLOSEDS, false, TWRC_SUCCESS, TWCC_SUCCESS},
                                           NoInstanceCase{"OtherIdentityMessage", DG_CONTROL, DAT_IDENTITY,
                                                          MSG_GETFIRST, true, TWRC_FAILURE, TWCC_BADPROTOCOL},
                                           NoInstanceCase{"StatusNullData", DG_CONTROL, DAT_STATUS, MSG_GET,
                                                          false, TWRC_FAILURE, TWCC_BADVALUE},
                                           NoInstanceCase{"StatusOtherMessage", DG_CONTROL, DAT_STATUS,
                                                          MSG_SET, true, TWRC_FAILURE, TWCC_BADPROTOCOL},
                                           NoInstanceCase{"EntryPointNullData", DG_CONTROL, DAT_ENTRYPOINT,
                                                          MSG_SET, false, TWRC_FAILURE, TWCC_BADVALUE},
                                           NoInstanceCase{"EntryPointGet", DG_CONTROL, DAT_ENTRYPOINT,
                                                          MSG_GET, true, TWRC_FAILURE, TWCC_BADPROTOCOL},
                                           NoInstanceCase{"OtherDat", DG_CONTROL, DAT_PARENT, MSG_OPENDSM,
                                                          true, TWRC_FAILURE, TWCC_BADPROTOCOL}),
                         [](const auto& info) { return info.param.name; });

TEST_F(EntryPoint, StatusAnswersThePreviousCallThenItsOwnSuccess) {
    call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, nullptr);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
    EXPECT_EQ(condition(), TWCC_SUCCESS);
}

TEST_F(EntryPoint, OpenWithNullOriginCreatesAndRemovesAnInstance) {
    ASSERT_EQ(app().sendEntryPoint(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    EXPECT_EQ(library().entry()(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADPROTOCOL);
    // Nothing stayed registered: this application still has no instance.
    TW_CAPABILITY cap{CAP_XFERCOUNT, TWON_DONTCARE16, nullptr};
    EXPECT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADPROTOCOL);
}

TEST_F(EntryPoint, EntryPointAfterOpenReachesTheInstance) {
    openSource();
    EXPECT_EQ(app().sendEntryPoint(), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADPROTOCOL);
}

TEST_F(EntryPoint, SecondOpenFailsAndRemovesTheInstance) {
    openSource();
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &app().sourceIdentity()), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR) << "the library keeps the status of the removed instance's call";
    TW_CAPABILITY cap{CAP_XFERCOUNT, TWON_DONTCARE16, nullptr};
    EXPECT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADPROTOCOL);
}

TEST_F(EntryPoint, NullFunctionsOfTheEntryPointKeepThePreviousOnes) {
    ASSERT_EQ(app().sendEntryPoint(), TWRC_SUCCESS);
    TW_ENTRYPOINT partial = host::Application::hostEntryPoint();
    partial.DSM_MemAllocate = nullptr;
    partial.DSM_MemFree = nullptr;
    ASSERT_EQ(app().sendEntryPoint(partial), TWRC_SUCCESS);
    // Still able to build and hand over containers: the manager's allocator stays in force.
    ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &app().sourceIdentity()), TWRC_SUCCESS);
    ASSERT_EQ(capability(MSG_GET, CAP_SUPPORTEDCAPS), TWRC_SUCCESS);
    EXPECT_TRUE(host::isLiveHostHandle(answer().hContainer));
}

TEST_F(EntryPoint, TwoApplicationsHaveTwoInstancesAndTheLastCloseDropsTheManager) {
    openSource();
    auto second = makeApplication();
    ASSERT_EQ(second->open(), TWRC_SUCCESS);
    ASSERT_EQ(second->close(), TWRC_SUCCESS);
    // The first session goes on, notifications included.
    ASSERT_EQ(capability(MSG_GET, CAP_SUPPORTEDCAPS), TWRC_SUCCESS);
    ASSERT_EQ(app().close(), TWRC_SUCCESS);
}

} // namespace
