// The base of every source instance: turns a triplet into one virtual operation under the TWAIN state
// rules, answers the triplets that need nothing of the device, gives every other operation a default
// failure, and sends notifications to the application through the DSM.
//
// Derived must provide `static bool anyInstanceInStates(uint16_t low, uint16_t high)`, which tells
// whether any instance of the process is in one of those states (only one instance may be enabled).
#pragma once

#include "twain/Capability.h"
#include "twain/Exception.h"
#include "twain/Result.h"
#include "twain/Twain.h"

#include <cstring>

namespace Twpp {

// The DSM's entry point, for notifications; set by DAT_ENTRYPOINT or by loading the DSM library.
DSMENTRYPROC& dsmEntry();

// TWAIN state of a source instance: 3 loaded, 4 open, 5 enabled, 6 transfer ready, 7 transferring.
using DsState = uint16_t;

// The structures of variable length (gray and RGB responses, extended image information) reach their
// operation as the bare data pointer.
struct VariableData {
    void* data;
};

namespace detail {
struct States {
    DsState low;
    DsState high;
    constexpr bool contains(DsState state) const { return state >= low && state <= high; }
};
constexpr States kAnyState{3, 7};
constexpr States only(DsState state) { return {state, state}; }

// What an instance says about itself and its application until MSG_OPENDS copies the real ones in.
inline TW_IDENTITY defaultIdentity() {
    TW_IDENTITY identity{};
    identity.Version.Language = TWLG_ENGLISH;
    identity.Version.Country = TWCY_UNITEDKINGDOM;
    identity.ProtocolMajor = 2;
    identity.ProtocolMinor = 3;
    identity.SupportedGroups = DG_CONTROL | DF_DS2;
    return identity;
}

// The state a router sets when the leaf answers one of two return codes (0 = no change).
struct Then {
    DsState state = 0;
    ReturnCode first = TWRC_SUCCESS;
    ReturnCode second = TWRC_SUCCESS;
};
} // namespace detail

template <typename Derived>
class SourceFromThis {
public:
    SourceFromThis() = default;
    SourceFromThis(const SourceFromThis&) = delete;
    SourceFromThis& operator=(const SourceFromThis&) = delete;
    virtual ~SourceFromThis() = default;

    // Every triplet of this instance. A capability exception becomes TWCC_BADVALUE here; everything
    // else travels on to the entry point.
    Result call(TW_IDENTITY& origin, uint32_t dg, uint16_t dat, uint16_t msg, void* data);

    DsState state() const { return m_state; }
    const TW_IDENTITY& identity() const { return m_identity; }
    const TW_IDENTITY& appIdentity() const { return m_appIdentity; }
    Status instanceStatus() const { return m_instanceStatus; }
    void setInstanceStatus(Status status) { m_instanceStatus = status; }

    // Sends msg to the application through the DSM, under the state rules of notifications. Returns the
    // DSM's return code, or TWRC_FAILURE when the state forbids the message. Never throws.
    ReturnCode sendNotification(uint16_t msg) noexcept;

protected:
    // Leaves, in the order of the operation table. Each default answers TWCC_BADPROTOCOL.
    // clang-format off
    virtual Result capabilityGet(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilityGetCurrent(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilityGetDefault(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilityGetHelp(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilityGetLabel(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilityGetLabelEnum(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilityQuerySupport(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilityReset(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilityResetAll(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilitySet(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result capabilitySetConstraint(TW_IDENTITY& origin, Capability& data) { return defaultLeaf(origin, data); }
    virtual Result customDsDataGet(TW_IDENTITY& origin, TW_CUSTOMDSDATA& data) { return defaultLeaf(origin, data); }
    virtual Result customDsDataSet(TW_IDENTITY& origin, TW_CUSTOMDSDATA& data) { return defaultLeaf(origin, data); }
    virtual Result deviceEventGet(TW_IDENTITY& origin, TW_DEVICEEVENT& data) { return defaultLeaf(origin, data); }
    virtual Result eventProcess(TW_IDENTITY& origin, TW_EVENT& data) { return defaultLeaf(origin, data); }
    virtual Result identityOpenDs(TW_IDENTITY& origin) { return defaultLeaf(origin); }
    virtual Result identityCloseDs(TW_IDENTITY& origin) { return defaultLeaf(origin); }
    virtual Result fileSystemAutomaticCaptureDirectory(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemChangeDirectory(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemCopy(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemCreateDirectory(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemDelete(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemFormatMedia(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemGetClose(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemGetFirstFile(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemGetInfo(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemGetNextFile(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result fileSystemRename(TW_IDENTITY& origin, TW_FILESYSTEM& data) { return defaultLeaf(origin, data); }
    virtual Result passThroughPassThrough(TW_IDENTITY& origin, TW_PASSTHRU& data) { return defaultLeaf(origin, data); }
    virtual Result pendingXfersGet(TW_IDENTITY& origin, TW_PENDINGXFERS& data) { return defaultLeaf(origin, data); }
    virtual Result pendingXfersEnd(TW_IDENTITY& origin, TW_PENDINGXFERS& data) { return defaultLeaf(origin, data); }
    virtual Result pendingXfersReset(TW_IDENTITY& origin, TW_PENDINGXFERS& data) { return defaultLeaf(origin, data); }
    virtual Result pendingXfersStopFeeder(TW_IDENTITY& origin, TW_PENDINGXFERS& data) { return defaultLeaf(origin, data); }
    virtual Result setupFileXferGet(TW_IDENTITY& origin, TW_SETUPFILEXFER& data) { return defaultLeaf(origin, data); }
    virtual Result setupFileXferGetDefault(TW_IDENTITY& origin, TW_SETUPFILEXFER& data) { return defaultLeaf(origin, data); }
    virtual Result setupFileXferSet(TW_IDENTITY& origin, TW_SETUPFILEXFER& data) { return defaultLeaf(origin, data); }
    virtual Result setupFileXferReset(TW_IDENTITY& origin, TW_SETUPFILEXFER& data) { return defaultLeaf(origin, data); }
    virtual Result setupMemXferGet(TW_IDENTITY& origin, TW_SETUPMEMXFER& data) { return defaultLeaf(origin, data); }
    virtual Result statusUtf8Get(TW_IDENTITY& origin, TW_STATUSUTF8& data) { return defaultLeaf(origin, data); }
    virtual Result userInterfaceDisable(TW_IDENTITY& origin, TW_USERINTERFACE& data) { return defaultLeaf(origin, data); }
    virtual Result userInterfaceEnable(TW_IDENTITY& origin, TW_USERINTERFACE& data) { return defaultLeaf(origin, data); }
    virtual Result userInterfaceEnableUiOnly(TW_IDENTITY& origin, TW_USERINTERFACE& data) { return defaultLeaf(origin, data); }
    virtual Result xferGroupSet(TW_IDENTITY& origin, uint32_t& data) { return defaultLeaf(origin, data); }
    virtual Result extImageInfoGet(TW_IDENTITY& origin, VariableData& data) { return defaultLeaf(origin, data); }
    virtual Result grayResponseSet(TW_IDENTITY& origin, VariableData& data) { return defaultLeaf(origin, data); }
    virtual Result grayResponseReset(TW_IDENTITY& origin, VariableData& data) { return defaultLeaf(origin, data); }
    virtual Result iccProfileGet(TW_IDENTITY& origin, TW_MEMORY& data) { return defaultLeaf(origin, data); }
    virtual Result imageFileXferGet(TW_IDENTITY& origin) { return defaultLeaf(origin); }
    virtual Result imageInfoGet(TW_IDENTITY& origin, TW_IMAGEINFO& data) { return defaultLeaf(origin, data); }
    virtual Result imageLayoutGet(TW_IDENTITY& origin, TW_IMAGELAYOUT& data) { return defaultLeaf(origin, data); }
    virtual Result imageLayoutGetDefault(TW_IDENTITY& origin, TW_IMAGELAYOUT& data) { return defaultLeaf(origin, data); }
    virtual Result imageLayoutSet(TW_IDENTITY& origin, TW_IMAGELAYOUT& data) { return defaultLeaf(origin, data); }
    virtual Result imageLayoutReset(TW_IDENTITY& origin, TW_IMAGELAYOUT& data) { return defaultLeaf(origin, data); }
    virtual Result imageMemFileXferGet(TW_IDENTITY& origin, TW_IMAGEMEMXFER& data) { return defaultLeaf(origin, data); }
    virtual Result imageMemXferGet(TW_IDENTITY& origin, TW_IMAGEMEMXFER& data) { return defaultLeaf(origin, data); }
    virtual Result imageNativeXferGet(TW_IDENTITY& origin, Handle& data) { return defaultLeaf(origin, data); }
    virtual Result jpegCompressionGet(TW_IDENTITY& origin, TW_JPEGCOMPRESSION& data) { return defaultLeaf(origin, data); }
    virtual Result jpegCompressionGetDefault(TW_IDENTITY& origin, TW_JPEGCOMPRESSION& data) { return defaultLeaf(origin, data); }
    virtual Result jpegCompressionSet(TW_IDENTITY& origin, TW_JPEGCOMPRESSION& data) { return defaultLeaf(origin, data); }
    virtual Result jpegCompressionReset(TW_IDENTITY& origin, TW_JPEGCOMPRESSION& data) { return defaultLeaf(origin, data); }
    virtual Result palette8Get(TW_IDENTITY& origin, TW_PALETTE8& data) { return defaultLeaf(origin, data); }
    virtual Result palette8GetDefault(TW_IDENTITY& origin, TW_PALETTE8& data) { return defaultLeaf(origin, data); }
    virtual Result palette8Set(TW_IDENTITY& origin, TW_PALETTE8& data) { return defaultLeaf(origin, data); }
    virtual Result palette8Reset(TW_IDENTITY& origin, TW_PALETTE8& data) { return defaultLeaf(origin, data); }
    virtual Result rgbResponseSet(TW_IDENTITY& origin, VariableData& data) { return defaultLeaf(origin, data); }
    virtual Result rgbResponseReset(TW_IDENTITY& origin, VariableData& data) { return defaultLeaf(origin, data); }
    virtual Result audioFileXferGet(TW_IDENTITY& origin) { return defaultLeaf(origin); }
    virtual Result audioInfoGet(TW_IDENTITY& origin, TW_AUDIOINFO& data) { return defaultLeaf(origin, data); }
    virtual Result audioNativeXferGet(TW_IDENTITY& origin, Handle& data) { return defaultLeaf(origin, data); }

    // clang-format on

    void setState(DsState state) { m_state = state; }

private:
    template <typename Data>
    using Leaf = Result (SourceFromThis::*)(TW_IDENTITY&, Data&);
    template <typename Data>
    struct Route {
        uint16_t msg;
        detail::States states;
        Leaf<Data> leaf;
        detail::Then then{};
    };

    template <typename Data>
    Result defaultLeaf(TW_IDENTITY&, Data&) {
        return failure(TWCC_BADPROTOCOL);
    }
    Result defaultLeaf(TW_IDENTITY&) { return failure(TWCC_BADPROTOCOL); }

    // The general rule of DAT routers: an unlisted message is TWCC_BADPROTOCOL, a listed one in
    // another state TWCC_SEQERROR; the leaf's answer is returned unchanged and may move the state.
    template <typename Data, std::size_t N>
    Result route(TW_IDENTITY& origin, uint16_t msg, Data& data, const Route<Data> (&routes)[N]);
    Result applyThen(const Result& result, const detail::Then& then);

    Result control(TW_IDENTITY& origin, uint16_t dat, uint16_t msg, void* data);
    Result image(TW_IDENTITY& origin, uint16_t dat, uint16_t msg, void* data);
    Result audio(TW_IDENTITY& origin, uint16_t dat, uint16_t msg, void* data);

    Result capability(TW_IDENTITY& origin, uint16_t msg, Capability& data);
    Result identity(TW_IDENTITY& origin, uint16_t msg, TW_IDENTITY& data);
    Result userInterface(TW_IDENTITY& origin, uint16_t msg, TW_USERINTERFACE& data);
    Result pendingXfers(TW_IDENTITY& origin, uint16_t msg, TW_PENDINGXFERS& data);
    Result xferGroup(TW_IDENTITY& origin, uint16_t msg, uint32_t& data);
    // The transfer group as the instance's own DAT_XFERGROUP router answers it, DG_IMAGE if it fails.
    uint32_t transferGroup(TW_IDENTITY& origin);
    Result originOnlyTransfer(TW_IDENTITY& origin, uint16_t msg, Result (SourceFromThis::*leaf)(TW_IDENTITY&),
                              const detail::Then& then);

    TW_IDENTITY m_identity = detail::defaultIdentity();
    TW_IDENTITY m_appIdentity = detail::defaultIdentity();
    Status m_instanceStatus{TWCC_BUMMER, 0};
    DsState m_state = 3;
};

} // namespace Twpp

#include "twain/SourceFromThis.inl"
