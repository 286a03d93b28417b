// The capability setup run at every open: the registration list, in the order the capabilities are
// registered, one line a capability.
#include "datasource/capabilities/CapabilitySetup.h"

namespace tarsin {

using namespace Twpp;
using namespace caps;

namespace {
// Scanner option roles read by the standard capabilities.
constexpr int kRoleResolution = 24;
constexpr int kRoleDoubleFeed = 44;
constexpr int kRoleColorMode = 57;
constexpr int kRolePaperSize = 59;
constexpr int kRoleRotation = 63;
constexpr int kRoleDuplex = 64;

// Conversions between option values and capability values.
Bool asBool(uint8_t option) { return Bool(option != 0); }
uint8_t fromBool(Bool value) { return value ? 1 : 0; }
// The double-feed option says whether ultrasonic detection is on; the capability says which method.
DoubleFeed asDoubleFeed(uint8_t isUltrasonic) { return isUltrasonic ? TWDF_ULTRASONIC : TWDF_BYLENGTH; }
uint8_t fromDoubleFeed(DoubleFeed method) { return method == TWDF_ULTRASONIC ? 1 : 0; }
// Whole dots per inch (or degrees) as Fix32, and back truncated toward zero.
Fix32 asFix32(int32_t whole) { return Fix32(static_cast<float>(whole)); }
// Truncated in integers: the single-precision sum would round 300 + 65535/65536 up to 301.
int32_t fromFix32(Fix32 value) { return value.whole < 0 && value.frac != 0 ? value.whole + 1 : value.whole; }
// Colour modes 0, 1 and 2 are the pixel types of the same numbers; other modes pass unchanged.
PixelType asPixelType(int32_t mode) { return static_cast<PixelType>(static_cast<uint16_t>(mode)); }
int32_t fromPixelType(PixelType type) { return type; }
uint16_t asBitDepth(int32_t mode) {
    switch (mode) {
    case 0:
        return 1;
    case 1:
        return 8;
    case 2:
        return 24;
    default:
        return static_cast<uint16_t>(mode);
    }
}
int32_t fromBitDepth(uint16_t depth) {
    switch (depth) {
    case 1:
        return 0;
    case 8:
        return 1;
    case 24:
        return 2;
    default:
        return depth;
    }
}
SupportedSize asPaperSize(int32_t code) { return static_cast<SupportedSize>(static_cast<uint16_t>(code)); }
int32_t fromPaperSize(SupportedSize size) { return size; }

// Older custom ids under which some option capabilities are also answered, in registration order.
constexpr std::pair<uint16_t, uint16_t> kOptionAliases[] = {
    {0x881A, 0x8094}, {0x8831, 0x8005}, {0x882B, 0x8004}, {0x8825, 0x8098}, {0x8824, 0x8099},
    {0x8823, 0x8100}, {0x8829, 0x8018}, {0x880D, 0x8101}, {0x880E, 0x8102}, {0x8805, 0x8026},
    {0x8806, 0x8095}, {0x8834, 0x8006}, {0x8835, 0x8021}, {0x882D, 0x8090}, {0x8832, 0x8096},
    {0x8822, 0x8016}, {0x881B, 0x8108}, {0x8807, 0x8109}, {0x8808, 0x8110}, {0x8815, 0x8103},
    {0x8801, 0x8112},
};
} // namespace

void tarsin_ds::initCapabilities() { CapabilitySetup(*this).run(); }

// The option capabilities (roles 1 to 54 as 0x8801 to 0x8836) land later; until then the device
// offers none, and the alias copies find nothing to copy.
void tarsin_ds::initOptionCapabilities() {}

void CapabilitySetup::run() {
    tarsin_ds& s = m_source;
    m_registry.clear();

    // One line a capability, in registration order, so the list reads as a table.
    // clang-format off

    add(CAP_SUPPORTEDCAPS,        kReadOnly,    supportedCaps());
    add(CAP_XFERCOUNT,            kFullSupport, transferCount());                  // oneValueGetSet, role 47, -1

    s.m_indicators = s.m_scanner->has_indicators() ? 1 : 0;
    if (s.m_indicators) {
        add(CAP_UICONTROLLABLE,   kReadOnly,    fixedTrue());                      // oneValueReadOnly TRUE
        add(CAP_INDICATORS,       kFullSupport, indicators());                     // stored, indicators flag
    }

    add(CAP_DEVICEONLINE,         kReadOnly,    scannerReadOnly<Bool>([&s] { return Bool(s.m_scanner->is_online()); }));
    add(ICAP_COMPRESSION,         kFullSupport, compression());                    // stored, NONE/GROUP4
    add(ICAP_UNITS,               kFullSupport, fixedEnumeration(TWUN_INCHES, FixedRule::AcceptSame));
    add(ICAP_BITDEPTH,            kFullSupport, scannerEnumeration<int32_t, uint16_t>(s, {kRoleColorMode, 0, 0, asBitDepth, fromBitDepth}));
    add(ICAP_BITORDER,            kFullSupport, fixedOneValue(TWBO_MSBFIRST, FixedRule::AcceptSame));
    add(ICAP_PLANARCHUNKY,        kFullSupport, fixedEnumeration(TWPC_CHUNKY, FixedRule::AcceptSame));
    add(ICAP_XRESOLUTION,         kFullSupport, scannerEnumeration<int32_t, Fix32>(s, {kRoleResolution, 0, 0, asFix32, fromFix32}));
    copy(ICAP_XRESOLUTION, ICAP_YRESOLUTION);
    add(ICAP_XNATIVERESOLUTION,   kReadOnly,    fixedEnumeration(Fix32(200, 0), FixedRule::ReadOnly));
    copy(ICAP_XNATIVERESOLUTION, ICAP_YNATIVERESOLUTION);
    add(ICAP_SUPPORTEDSIZES,      kFullSupport, scannerEnumeration<int32_t, SupportedSize>(s, {kRolePaperSize, 0, 0, asPaperSize, fromPaperSize}));
    add(ICAP_PHYSICALWIDTH,       kReadOnly,    physicalSize(true));               // scannerReadOnly, role 24
    add(ICAP_PHYSICALHEIGHT,      kReadOnly,    physicalSize(false));              // scannerReadOnly, role 24
    add(ICAP_PIXELFLAVOR,         kFullSupport, fixedEnumeration(TWPF_CHOCOLATE, FixedRule::AcceptSame));
    add(ICAP_XFERMECH,            kFullSupport, transferMechanism());              // stored, NATIVE/FILE/MEMORY
    add(ICAP_PIXELTYPE,           kFullSupport, scannerEnumeration<int32_t, PixelType>(s, {kRoleColorMode, 0, 0, asPixelType, fromPixelType}));
    add(ICAP_AUTOMATICCOLORENABLED, kFullSupport, automaticColor());               // role 3, on = 2572
    add(ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE, kFullSupport, nonColorPixelType());  // stored, role 56
    add(ICAP_JPEGQUALITY,         kFullSupport, jpegQuality());                    // stored, 1 to 100, 80
    add(ICAP_ORIENTATION,         kFullSupport, orientation());                    // role 60, ROT0/LANDSCAPE
    add(ICAP_ROTATION,            kFullSupport, scannerEnumeration<int32_t, Fix32>(s, {kRoleRotation, 0, 0, asFix32, fromFix32}, kReadLinkedList));
    add(CAP_ENABLEDSUIONLY,       kReadOnly,    fixedEnumeration(Bool(true), FixedRule::ReadOnly));
    add(CAP_PAPERDETECTABLE,      kReadOnly,    fixedTrue());                      // oneValueReadOnly TRUE
    add(CAP_FEEDERENABLED,        kFullSupport, feederEnabled());                  // stored, TRUE
    add(CAP_DUPLEX,               kReadOnly,    fixedOneValue(TWDX_1PASSDUPLEX, FixedRule::ReadOnly));
    add(CAP_DUPLEXENABLED,        kFullSupport, scannerOneValue<uint8_t, Bool>(s, {kRoleDuplex, 1, 1, asBool, fromBool}, Bool(true)));
    add(CAP_AUTOFEED,             kFullSupport, autoFeed());                       // stored, FALSE/TRUE
    add(ICAP_IMAGEFILEFORMAT,     kFullSupport, imageFileFormat());                // stored, list of role 72
    // ICAP_AUTOMATICDESKEW and ICAP_AUTOMATICROTATE land with the image-processing capabilities.
    add(CAP_SERIALNUMBER,         kReadOnly,    serialNumber());                   // scannerReadOnly, role 73
    add(CAP_AUTOSCAN,             kFullSupport, autoScan());                       // stored, FALSE
    add(ICAP_AUTOSIZE,            kFullSupport, autoSize());                       // role 61, NONE/AUTO
    // ICAP_AUTOMATICBORDERDETECTION, ICAP_AUTODISCARDBLANKPAGES, 0x8091, ICAP_FILTER, ICAP_BRIGHTNESS,
    // ICAP_CONTRAST, 0x8092 and ICAP_GAMMA land with the image-processing capabilities.
    add(CAP_CUSTOMDSDATA,         kReadOnly,    fixedTrue());                      // oneValueReadOnly TRUE
    add(CAP_DOUBLEFEEDDETECTION,  kFullSupport, scannerOneValue<uint8_t, DoubleFeed>(s, {kRoleDoubleFeed, 1, 1, asDoubleFeed, fromDoubleFeed, TWCC_SEQERROR}));
    // ICAP_AUTOMATICCROPUSESFRAME lands with the image-processing capabilities.
    add(CAP_FEEDERLOADED,         kReadOnly,    scannerReadOnly<Bool>([&s] { return Bool(s.m_scanner->is_feeder_loaded()); }));
    // 0x8037, 0x8107, 0x8106, 0x8113, 0x8111, 0x8114, 0x8105, 0x8104, 0x8097, 0x8022 and 0x8007 land
    // with the image-processing capabilities.

    s.initOptionCapabilities();

    // 0x8025 and 0x8200 land with the image-processing capabilities.

    // clang-format on
    for (const auto& [option, alias] : kOptionAliases)
        copy(option, alias);
}

} // namespace tarsin
