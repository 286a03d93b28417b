// The scanner data source: one instance per application that opens the source. It drives the
// backend's scanner object; the base routes every triplet to the operations overridden here.
//
// The operations are implemented by concern: session lifecycle in tarsin_ds.cpp, acquisition in
// Acquisition.cpp, image transfer in ImageTransfer.cpp, capabilities in capabilities/.
#pragma once

#include "datasource/ScannerBackend.h"
#include "datasource/capabilities/CapabilityRegistry.h"
#include "twain/SourceFromThis.h"
#include "twain/Strings.h"

#include <memory>
#include <string>

namespace tarsin {

class tarsin_ds : public Twpp::SourceFromThis<tarsin_ds> {
public:
    tarsin_ds() = default;
    ~tarsin_ds() override;

    // Whether any instance of the process is in one of the states low to high.
    static bool anyInstanceInStates(Twpp::DsState low, Twpp::DsState high);

    // The path of "first.cfg" beside the data source module.
    static std::wstring configFilePath();

    // For the capability handlers and tests.
    backend::ScannerObject* scanner() const { return m_scanner; }
    const CapabilityRegistry& capabilities() const { return m_capabilities; }
    bool isFlowMode() const { return m_flowRecord != nullptr; }
    // Option index of role k (1 to 79) of the scanner, -1 without a scanner.
    int32_t roleIndex(int role) const;

protected:
    // Session (tarsin_ds.cpp).
    Twpp::Result identityOpenDs(Twpp::TW_IDENTITY& origin) override;
    Twpp::Result identityCloseDs(Twpp::TW_IDENTITY& origin) override;
    Twpp::Result customDsDataGet(Twpp::TW_IDENTITY& origin, Twpp::TW_CUSTOMDSDATA& data) override;
    Twpp::Result customDsDataSet(Twpp::TW_IDENTITY& origin, Twpp::TW_CUSTOMDSDATA& data) override;
    Twpp::Result deviceEventGet(Twpp::TW_IDENTITY& origin, Twpp::TW_DEVICEEVENT& data) override;

    // Capabilities (capabilities/).
    Twpp::Result capabilityGet(Twpp::TW_IDENTITY& origin, Twpp::Capability& data) override;
    Twpp::Result capabilityGetCurrent(Twpp::TW_IDENTITY& origin, Twpp::Capability& data) override;
    Twpp::Result capabilityGetDefault(Twpp::TW_IDENTITY& origin, Twpp::Capability& data) override;
    Twpp::Result capabilitySet(Twpp::TW_IDENTITY& origin, Twpp::Capability& data) override;
    Twpp::Result capabilityReset(Twpp::TW_IDENTITY& origin, Twpp::Capability& data) override;
    Twpp::Result capabilityQuerySupport(Twpp::TW_IDENTITY& origin, Twpp::Capability& data) override;
    Twpp::Result capabilityResetAll(Twpp::TW_IDENTITY& origin, Twpp::Capability& data) override;

    // Acquisition (Acquisition.cpp).
    Twpp::Result userInterfaceEnable(Twpp::TW_IDENTITY& origin, Twpp::TW_USERINTERFACE& data) override;
    Twpp::Result userInterfaceEnableUiOnly(Twpp::TW_IDENTITY& origin, Twpp::TW_USERINTERFACE& data) override;
    Twpp::Result userInterfaceDisable(Twpp::TW_IDENTITY& origin, Twpp::TW_USERINTERFACE& data) override;
    Twpp::Result eventProcess(Twpp::TW_IDENTITY& origin, Twpp::TW_EVENT& data) override;
    Twpp::Result pendingXfersGet(Twpp::TW_IDENTITY& origin, Twpp::TW_PENDINGXFERS& data) override;
    Twpp::Result pendingXfersEnd(Twpp::TW_IDENTITY& origin, Twpp::TW_PENDINGXFERS& data) override;
    Twpp::Result pendingXfersReset(Twpp::TW_IDENTITY& origin, Twpp::TW_PENDINGXFERS& data) override;
    Twpp::Result pendingXfersStopFeeder(Twpp::TW_IDENTITY& origin, Twpp::TW_PENDINGXFERS& data) override;

    // Image transfer (ImageTransfer.cpp).
    Twpp::Result imageInfoGet(Twpp::TW_IDENTITY& origin, Twpp::TW_IMAGEINFO& data) override;
    Twpp::Result imageLayoutGet(Twpp::TW_IDENTITY& origin, Twpp::TW_IMAGELAYOUT& data) override;
    Twpp::Result imageLayoutGetDefault(Twpp::TW_IDENTITY& origin, Twpp::TW_IMAGELAYOUT& data) override;
    Twpp::Result imageLayoutReset(Twpp::TW_IDENTITY& origin, Twpp::TW_IMAGELAYOUT& data) override;
    Twpp::Result imageLayoutSet(Twpp::TW_IDENTITY& origin, Twpp::TW_IMAGELAYOUT& data) override;
    Twpp::Result setupMemXferGet(Twpp::TW_IDENTITY& origin, Twpp::TW_SETUPMEMXFER& data) override;
    Twpp::Result imageNativeXferGet(Twpp::TW_IDENTITY& origin, Twpp::Handle& data) override;
    Twpp::Result imageMemXferGet(Twpp::TW_IDENTITY& origin, Twpp::TW_IMAGEMEMXFER& data) override;
    Twpp::Result imageFileXferGet(Twpp::TW_IDENTITY& origin) override;
    Twpp::Result setupFileXferGet(Twpp::TW_IDENTITY& origin, Twpp::TW_SETUPFILEXFER& data) override;
    Twpp::Result setupFileXferGetDefault(Twpp::TW_IDENTITY& origin, Twpp::TW_SETUPFILEXFER& data) override;
    Twpp::Result setupFileXferSet(Twpp::TW_IDENTITY& origin, Twpp::TW_SETUPFILEXFER& data) override;
    Twpp::Result setupFileXferReset(Twpp::TW_IDENTITY& origin, Twpp::TW_SETUPFILEXFER& data) override;

private:
    // Capability setup of every open (capabilities/).
    void initCapabilities();
    // The single place where a capability id is looked up.
    Twpp::Result routeCapability(uint16_t msg, Twpp::Capability& cap);

    // Releases the held image of an unfinished memory transfer, if any.
    void releaseHeldImage();
    void releaseScanner();

    // --- Capability setup (capabilities/CapabilitySetup.cpp) ---
    // Registers one capability per option role the device has.
    void initOptionCapabilities();
    // --- End of capability setup ---

    // --- Fields, in the order the session and the transfers use them. ---
    CapabilityRegistry m_capabilities;
    backend::ScannerObject* m_scanner = nullptr; // holds one reference while set
    Twpp::Str255 m_fileXferName;
    uint16_t m_fileXferFormat = Twpp::TWFF_TIFF; // TWFF_BMP from open on
    uint16_t m_xferMech = Twpp::TWSX_NATIVE;
    uint8_t m_feederEnabled = 1;
    uint8_t m_autoFeed = 1;
    uint16_t m_autoScan = 1;
    uint32_t m_nonColorPixelType = Twpp::TWPT_BW;
    uint8_t m_indicators = 1; // from has_indicators at open
    uint32_t m_jpegQuality = 80;
    uint16_t m_compression = Twpp::TWCP_NONE;
    // Exists only in flow mode ("flow=1" in first.cfg), zero-filled.
    std::unique_ptr<backend::ImageParams> m_flowRecord;
    backend::ImageObject* m_heldImage = nullptr; // memory transfer in progress
    uint64_t m_heldOffset = 0;

    friend class CapabilitySetup;
};

} // namespace tarsin
