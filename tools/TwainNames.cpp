#include "tools/TwainNames.h"

#include "twain/Twain.h"

#include <cstdio>

namespace scantool {

using namespace Twpp;

namespace {
struct Named {
    uint16_t code;
    const char* name;
};

template <std::size_t N>
std::string lookUp(const Named (&table)[N], uint16_t code) {
    for (const Named& entry : table)
        if (entry.code == code)
            return entry.name;
    return hex4(code);
}

#define NAMED(x)                                                                                             \
    { x, #x }
const Named kConditions[] = {
    NAMED(TWCC_SUCCESS),         NAMED(TWCC_BUMMER),
    NAMED(TWCC_LOWMEMORY),       NAMED(TWCC_NODS),
    NAMED(TWCC_MAXCONNECTIONS),  NAMED(TWCC_OPERATIONERROR),
    NAMED(TWCC_BADCAP),          NAMED(TWCC_BADPROTOCOL),
    NAMED(TWCC_BADVALUE),        NAMED(TWCC_SEQERROR),
    NAMED(TWCC_BADDEST),         NAMED(TWCC_CAPUNSUPPORTED),
    NAMED(TWCC_CAPBADOPERATION), NAMED(TWCC_CAPSEQERROR),
    NAMED(TWCC_DENIED),          NAMED(TWCC_FILEEXISTS),
    NAMED(TWCC_FILENOTFOUND),    NAMED(TWCC_NOTEMPTY),
    NAMED(TWCC_PAPERJAM),        NAMED(TWCC_PAPERDOUBLEFEED),
    NAMED(TWCC_FILEWRITEERROR),  NAMED(TWCC_CHECKDEVICEONLINE),
    NAMED(TWCC_INTERLOCK),       NAMED(TWCC_DAMAGEDCORNER),
    NAMED(TWCC_FOCUSERROR),      NAMED(TWCC_DOCTOOLIGHT),
    NAMED(TWCC_DOCTOODARK),      NAMED(TWCC_NOMEDIA),
};
const Named kReturnCodes[] = {
    NAMED(TWRC_SUCCESS), NAMED(TWRC_FAILURE),    NAMED(TWRC_CHECKSTATUS), NAMED(TWRC_CANCEL),
    NAMED(TWRC_DSEVENT), NAMED(TWRC_NOTDSEVENT), NAMED(TWRC_XFERDONE),    NAMED(TWRC_ENDOFLIST),
};
const Named kCapabilities[] = {
    NAMED(CAP_XFERCOUNT),
    NAMED(ICAP_COMPRESSION),
    NAMED(ICAP_PIXELTYPE),
    NAMED(ICAP_UNITS),
    NAMED(ICAP_XFERMECH),
    NAMED(CAP_AUTHOR),
    NAMED(CAP_CAPTION),
    NAMED(CAP_FEEDERENABLED),
    NAMED(CAP_FEEDERLOADED),
    NAMED(CAP_TIMEDATE),
    NAMED(CAP_SUPPORTEDCAPS),
    NAMED(CAP_EXTENDEDCAPS),
    NAMED(CAP_AUTOFEED),
    NAMED(CAP_CLEARPAGE),
    NAMED(CAP_FEEDPAGE),
    NAMED(CAP_REWINDPAGE),
    NAMED(CAP_INDICATORS),
    NAMED(CAP_PAPERDETECTABLE),
    NAMED(CAP_UICONTROLLABLE),
    NAMED(CAP_DEVICEONLINE),
    NAMED(CAP_AUTOSCAN),
    NAMED(CAP_THUMBNAILSENABLED),
    NAMED(CAP_DUPLEX),
    NAMED(CAP_DUPLEXENABLED),
    NAMED(CAP_ENABLEDSUIONLY),
    NAMED(CAP_CUSTOMDSDATA),
    NAMED(CAP_SERIALNUMBER),
    NAMED(CAP_DOUBLEFEEDDETECTION),
    NAMED(ICAP_BRIGHTNESS),
    NAMED(ICAP_CONTRAST),
    NAMED(ICAP_FILTER),
    NAMED(ICAP_GAMMA),
    NAMED(ICAP_IMAGEFILEFORMAT),
    NAMED(ICAP_ORIENTATION),
    NAMED(ICAP_PHYSICALWIDTH),
    NAMED(ICAP_PHYSICALHEIGHT),
    NAMED(ICAP_XNATIVERESOLUTION),
    NAMED(ICAP_YNATIVERESOLUTION),
    NAMED(ICAP_XRESOLUTION),
    NAMED(ICAP_YRESOLUTION),
    NAMED(ICAP_BITORDER),
    NAMED(ICAP_PIXELFLAVOR),
    NAMED(ICAP_PLANARCHUNKY),
    NAMED(ICAP_ROTATION),
    NAMED(ICAP_SUPPORTEDSIZES),
    NAMED(ICAP_BITDEPTH),
    NAMED(ICAP_AUTODISCARDBLANKPAGES),
    NAMED(ICAP_AUTOMATICBORDERDETECTION),
    NAMED(ICAP_AUTOMATICDESKEW),
    NAMED(ICAP_AUTOMATICROTATE),
    NAMED(ICAP_JPEGQUALITY),
    NAMED(ICAP_AUTOSIZE),
    NAMED(ICAP_AUTOMATICCROPUSESFRAME),
    NAMED(ICAP_AUTOMATICCOLORENABLED),
    NAMED(ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE),
};
const Named kContainers[] = {NAMED(TWON_ARRAY), NAMED(TWON_ENUMERATION), NAMED(TWON_ONEVALUE),
                             NAMED(TWON_RANGE)};
const Named kItemTypes[] = {
    NAMED(TWTY_INT8),   NAMED(TWTY_INT16),  NAMED(TWTY_INT32),  NAMED(TWTY_UINT8),  NAMED(TWTY_UINT16),
    NAMED(TWTY_UINT32), NAMED(TWTY_BOOL),   NAMED(TWTY_FIX32),  NAMED(TWTY_FRAME),  NAMED(TWTY_STR32),
    NAMED(TWTY_STR64),  NAMED(TWTY_STR128), NAMED(TWTY_STR255), NAMED(TWTY_HANDLE),
};
#undef NAMED
} // namespace

std::string hex4(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
    return text;
}

std::string conditionName(uint16_t condition) { return lookUp(kConditions, condition); }
std::string returnCodeName(uint16_t returnCode) { return lookUp(kReturnCodes, returnCode); }
std::string containerName(uint16_t conType) { return lookUp(kContainers, conType); }
std::string itemTypeName(uint16_t itemType) { return lookUp(kItemTypes, itemType); }

std::string capabilityName(uint16_t capability) {
    // The source's own capabilities sit above the custom base; name them by their offset.
    if (capability >= CAP_CUSTOMBASE)
        return "CAP_CUSTOMBASE+" + hex4(capability - CAP_CUSTOMBASE);
    return lookUp(kCapabilities, capability);
}

} // namespace scantool
