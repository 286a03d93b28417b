// TWAIN protocol definitions used by the data source: codes, constants and every structure that
// crosses to the application, in the protocol's 2-byte packed layout. Written from the protocol's
// published values; the static_asserts at the end pin the layouts for 32- and 64-bit builds.
#pragma once

#include <cstddef>
#include <cstdint>

// The protocol's entry points, callbacks and memory functions use the Windows "pascal" convention on
// 32-bit Windows and the platform's C convention everywhere else.
#if defined(_WIN32)
#define TWPP_CALLSTYLE __stdcall
#else
#define TWPP_CALLSTYLE
#endif

namespace Twpp {

using Handle = void*;
using MemRef = void*;

enum DataGroup : uint32_t {
    DG_CONTROL = 0x0001,
    DG_IMAGE = 0x0002,
    DG_AUDIO = 0x0004,
    DG_MASK = 0xFFFF,
    DF_DSM2 = 0x10000000,
    DF_APP2 = 0x20000000,
    DF_DS2 = 0x40000000,
};

enum Dat : uint16_t {
    DAT_NULL = 0x0000,
    DAT_CAPABILITY = 0x0001,
    DAT_EVENT = 0x0002,
    DAT_IDENTITY = 0x0003,
    DAT_PARENT = 0x0004,
    DAT_PENDINGXFERS = 0x0005,
    DAT_SETUPMEMXFER = 0x0006,
    DAT_SETUPFILEXFER = 0x0007,
    DAT_STATUS = 0x0008,
    DAT_USERINTERFACE = 0x0009,
    DAT_XFERGROUP = 0x000A,
    DAT_TWUNKIDENTITY = 0x000B,
    DAT_CUSTOMDSDATA = 0x000C,
    DAT_DEVICEEVENT = 0x000D,
    DAT_FILESYSTEM = 0x000E,
    DAT_PASSTHRU = 0x000F,
    DAT_CALLBACK = 0x0010,
    DAT_STATUSUTF8 = 0x0011,
    DAT_CALLBACK2 = 0x0012,
    DAT_METRICS = 0x0013,
    DAT_TWAINDIRECT = 0x0014,
    DAT_IMAGEINFO = 0x0101,
    DAT_IMAGELAYOUT = 0x0102,
    DAT_IMAGEMEMXFER = 0x0103,
    DAT_IMAGENATIVEXFER = 0x0104,
    DAT_IMAGEFILEXFER = 0x0105,
    DAT_CIECOLOR = 0x0106,
    DAT_GRAYRESPONSE = 0x0107,
    DAT_RGBRESPONSE = 0x0108,
    DAT_JPEGCOMPRESSION = 0x0109,
    DAT_PALETTE8 = 0x010A,
    DAT_EXTIMAGEINFO = 0x010B,
    DAT_FILTER = 0x010C,
    DAT_AUDIOFILEXFER = 0x0201,
    DAT_AUDIOINFO = 0x0202,
    DAT_AUDIONATIVEXFER = 0x0203,
    DAT_SETUPFILEXFER2 = 0x0301,
    DAT_ICCPROFILE = 0x0401,
    DAT_IMAGEMEMFILEXFER = 0x0402,
    DAT_ENTRYPOINT = 0x0403,
    DAT_CUSTOMBASE = 0x8000,
};

enum Msg : uint16_t {
    MSG_NULL = 0x0000,
    MSG_GET = 0x0001,
    MSG_GETCURRENT = 0x0002,
    MSG_GETDEFAULT = 0x0003,
    MSG_GETFIRST = 0x0004,
    MSG_GETNEXT = 0x0005,
    MSG_SET = 0x0006,
    MSG_RESET = 0x0007,
    MSG_QUERYSUPPORT = 0x0008,
    MSG_GETHELP = 0x0009,
    MSG_GETLABEL = 0x000A,
    MSG_GETLABELENUM = 0x000B,
    MSG_SETCONSTRAINT = 0x000C,
    MSG_XFERREADY = 0x0101,
    MSG_CLOSEDSREQ = 0x0102,
    MSG_CLOSEDSOK = 0x0103,
    MSG_DEVICEEVENT = 0x0104,
    MSG_CHECKSTATUS = 0x0201,
    MSG_OPENDSM = 0x0301,
    MSG_CLOSEDSM = 0x0302,
    MSG_OPENDS = 0x0401,
    MSG_CLOSEDS = 0x0402,
    MSG_USERSELECT = 0x0403,
    MSG_DISABLEDS = 0x0501,
    MSG_ENABLEDS = 0x0502,
    MSG_ENABLEDSUIONLY = 0x0503,
    MSG_PROCESSEVENT = 0x0601,
    MSG_ENDXFER = 0x0701,
    MSG_STOPFEEDER = 0x0702,
    MSG_CHANGEDIRECTORY = 0x0801,
    MSG_CREATEDIRECTORY = 0x0802,
    MSG_DELETE = 0x0803,
    MSG_FORMATMEDIA = 0x0804,
    MSG_GETCLOSE = 0x0805,
    MSG_GETFIRSTFILE = 0x0806,
    MSG_GETINFO = 0x0807,
    MSG_GETNEXTFILE = 0x0808,
    MSG_RENAME = 0x0809,
    MSG_COPY = 0x080A,
    MSG_AUTOMATICCAPTUREDIRECTORY = 0x080B,
    MSG_PASSTHRU = 0x0901,
    MSG_REGISTER_CALLBACK = 0x0902,
    MSG_INVOKE_CALLBACK = 0x0903,
    MSG_RESETALL = 0x0A01,
    MSG_SETTASK = 0x0B01,
    MSG_CUSTOMBASE = 0x8000,
};

enum ReturnCode : uint16_t {
    TWRC_SUCCESS = 0,
    TWRC_FAILURE = 1,
    TWRC_CHECKSTATUS = 2,
    TWRC_CANCEL = 3,
    TWRC_DSEVENT = 4,
    TWRC_NOTDSEVENT = 5,
    TWRC_XFERDONE = 6,
    TWRC_ENDOFLIST = 7,
    TWRC_INFONOTSUPPORTED = 8,
    TWRC_DATANOTAVAILABLE = 9,
    TWRC_BUSY = 10,
    TWRC_SCANNERLOCKED = 11,
    TWRC_CUSTOMBASE = 0x8000,
};

enum ConditionCode : uint16_t {
    TWCC_SUCCESS = 0,
    TWCC_BUMMER = 1,
    TWCC_LOWMEMORY = 2,
    TWCC_NODS = 3,
    TWCC_MAXCONNECTIONS = 4,
    TWCC_OPERATIONERROR = 5,
    TWCC_BADCAP = 6,
    TWCC_BADPROTOCOL = 9,
    TWCC_BADVALUE = 10,
    TWCC_SEQERROR = 11,
    TWCC_BADDEST = 12,
    TWCC_CAPUNSUPPORTED = 13,
    TWCC_CAPBADOPERATION = 14,
    TWCC_CAPSEQERROR = 15,
    TWCC_DENIED = 16,
    TWCC_FILEEXISTS = 17,
    TWCC_FILENOTFOUND = 18,
    TWCC_NOTEMPTY = 19,
    TWCC_PAPERJAM = 20,
    TWCC_PAPERDOUBLEFEED = 21,
    TWCC_FILEWRITEERROR = 22,
    TWCC_CHECKDEVICEONLINE = 23,
    TWCC_INTERLOCK = 24,
    TWCC_DAMAGEDCORNER = 25,
    TWCC_FOCUSERROR = 26,
    TWCC_DOCTOOLIGHT = 27,
    TWCC_DOCTOODARK = 28,
    TWCC_NOMEDIA = 29,
    TWCC_CUSTOMBASE = 0x8000,
};

enum ConType : uint16_t {
    TWON_ARRAY = 3,
    TWON_ENUMERATION = 4,
    TWON_ONEVALUE = 5,
    TWON_RANGE = 6,
    TWON_DONTCARE16 = 0xFFFF,
};
constexpr uint8_t TWON_DONTCARE8 = 0xFF;
constexpr uint32_t TWON_DONTCARE32 = 0xFFFFFFFF;
constexpr uint16_t TWON_PROTOCOLMAJOR = 2;

enum ItemType : uint16_t {
    TWTY_INT8 = 0,
    TWTY_INT16 = 1,
    TWTY_INT32 = 2,
    TWTY_UINT8 = 3,
    TWTY_UINT16 = 4,
    TWTY_UINT32 = 5,
    TWTY_BOOL = 6,
    TWTY_FIX32 = 7,
    TWTY_FRAME = 8,
    TWTY_STR32 = 9,
    TWTY_STR64 = 10,
    TWTY_STR128 = 11,
    TWTY_STR255 = 12,
    TWTY_HANDLE = 15,
};

enum QuerySupport : uint32_t {
    TWQC_GET = 0x0001,
    TWQC_SET = 0x0002,
    TWQC_GETDEFAULT = 0x0004,
    TWQC_GETCURRENT = 0x0008,
    TWQC_RESET = 0x0010,
    TWQC_SETCONSTRAINT = 0x0020,
    TWQC_GETHELP = 0x0100,
    TWQC_GETLABEL = 0x0200,
    TWQC_GETLABELENUM = 0x0400,
};

enum MemoryFlags : uint32_t {
    TWMF_APPOWNS = 0x0001,
    TWMF_DSMOWNS = 0x0002,
    TWMF_DSOWNS = 0x0004,
    TWMF_POINTER = 0x0008,
    TWMF_HANDLE = 0x0010,
};

enum Language : uint16_t { TWLG_ENGLISH = 2 };
enum Country : uint16_t { TWCY_UNITEDKINGDOM = 44, TWCY_CHINA = 86 };

enum CapId : uint16_t {
    CAP_XFERCOUNT = 0x0001,
    ICAP_COMPRESSION = 0x0100,
    ICAP_PIXELTYPE = 0x0101,
    ICAP_UNITS = 0x0102,
    ICAP_XFERMECH = 0x0103,
    CAP_AUTHOR = 0x1000,
    CAP_CAPTION = 0x1001,
    CAP_FEEDERENABLED = 0x1002,
    CAP_FEEDERLOADED = 0x1003,
    CAP_TIMEDATE = 0x1004,
    CAP_SUPPORTEDCAPS = 0x1005,
    CAP_EXTENDEDCAPS = 0x1006,
    CAP_AUTOFEED = 0x1007,
    CAP_CLEARPAGE = 0x1008,
    CAP_FEEDPAGE = 0x1009,
    CAP_REWINDPAGE = 0x100A,
    CAP_INDICATORS = 0x100B,
    CAP_PAPERDETECTABLE = 0x100D,
    CAP_UICONTROLLABLE = 0x100E,
    CAP_DEVICEONLINE = 0x100F,
    CAP_AUTOSCAN = 0x1010,
    CAP_THUMBNAILSENABLED = 0x1011,
    CAP_DUPLEX = 0x1012,
    CAP_DUPLEXENABLED = 0x1013,
    CAP_ENABLEDSUIONLY = 0x1014,
    CAP_CUSTOMDSDATA = 0x1015,
    CAP_SERIALNUMBER = 0x1024,
    CAP_DOUBLEFEEDDETECTION = 0x103F,
    ICAP_BRIGHTNESS = 0x1101,
    ICAP_CONTRAST = 0x1103,
    ICAP_FILTER = 0x1106,
    ICAP_GAMMA = 0x1108,
    ICAP_IMAGEFILEFORMAT = 0x110C,
    ICAP_ORIENTATION = 0x1110,
    ICAP_PHYSICALWIDTH = 0x1111,
    ICAP_PHYSICALHEIGHT = 0x1112,
    ICAP_XNATIVERESOLUTION = 0x1116,
    ICAP_YNATIVERESOLUTION = 0x1117,
    ICAP_XRESOLUTION = 0x1118,
    ICAP_YRESOLUTION = 0x1119,
    ICAP_BITORDER = 0x111C,
    ICAP_PIXELFLAVOR = 0x111F,
    ICAP_PLANARCHUNKY = 0x1120,
    ICAP_ROTATION = 0x1121,
    ICAP_SUPPORTEDSIZES = 0x1122,
    ICAP_BITDEPTH = 0x112B,
    ICAP_AUTODISCARDBLANKPAGES = 0x1134,
    ICAP_AUTOMATICBORDERDETECTION = 0x1150,
    ICAP_AUTOMATICDESKEW = 0x1151,
    ICAP_AUTOMATICROTATE = 0x1152,
    ICAP_JPEGQUALITY = 0x1153,
    ICAP_AUTOSIZE = 0x1156,
    ICAP_AUTOMATICCROPUSESFRAME = 0x1157,
    ICAP_AUTOMATICCOLORENABLED = 0x1159,
    ICAP_AUTOMATICCOLORNONCOLORPIXELTYPE = 0x115A,
    CAP_CUSTOMBASE = 0x8000,
};

// Capability value groups.
enum XferMech : uint16_t { TWSX_NATIVE = 0, TWSX_FILE = 1, TWSX_MEMORY = 2, TWSX_MEMFILE = 4 };
enum Compression : uint16_t {
    TWCP_NONE = 0,
    TWCP_PACKBITS = 1,
    TWCP_GROUP31D = 2,
    TWCP_GROUP31DEOL = 3,
    TWCP_GROUP32D = 4,
    TWCP_GROUP4 = 5,
    TWCP_JPEG = 6,
};
enum PixelType : uint16_t { TWPT_BW = 0, TWPT_GRAY = 1, TWPT_RGB = 2, TWPT_PALETTE = 3 };
enum Unit : uint16_t { TWUN_INCHES = 0, TWUN_CENTIMETERS = 1 };
enum FileFormat : uint16_t { TWFF_TIFF = 0, TWFF_PICT = 1, TWFF_BMP = 2, TWFF_XBM = 3, TWFF_JFIF = 4 };
enum SupportedSize : uint16_t { TWSS_NONE = 0, TWSS_A4 = 1, TWSS_USLETTER = 3 };
enum Orientation : uint16_t { TWOR_ROT0 = 0, TWOR_ROT90 = 1, TWOR_ROT180 = 2, TWOR_LANDSCAPE = 3 };
enum Filter : uint16_t { TWFT_RED = 0, TWFT_GREEN = 1, TWFT_BLUE = 2, TWFT_NONE = 3, TWFT_WHITE = 4 };
enum BlankPage : int32_t { TWBP_DISABLE = -2, TWBP_AUTO = -1 };
enum AutoSize : uint16_t { TWAS_NONE = 0, TWAS_AUTO = 1, TWAS_CURRENT = 2 };
enum Duplex : uint16_t { TWDX_NONE = 0, TWDX_1PASSDUPLEX = 1, TWDX_2PASSDUPLEX = 2 };
enum PlanarChunky : uint16_t { TWPC_CHUNKY = 0, TWPC_PLANAR = 1 };
enum PixelFlavor : uint16_t { TWPF_CHOCOLATE = 0, TWPF_VANILLA = 1 };
enum BitOrder : uint16_t { TWBO_LSBFIRST = 0, TWBO_MSBFIRST = 1 };
enum DoubleFeed : uint16_t { TWDF_ULTRASONIC = 0, TWDF_BYLENGTH = 1 };

#pragma pack(push, 2)

struct TW_FIX32 {
    int16_t Whole;
    uint16_t Frac;
};

struct TW_FRAME {
    TW_FIX32 Left;
    TW_FIX32 Top;
    TW_FIX32 Right;
    TW_FIX32 Bottom;
};

struct TW_VERSION {
    uint16_t MajorNum;
    uint16_t MinorNum;
    uint16_t Language;
    uint16_t Country;
    char Info[34];
};

struct TW_IDENTITY {
    uint32_t Id;
    TW_VERSION Version;
    uint16_t ProtocolMajor;
    uint16_t ProtocolMinor;
    uint32_t SupportedGroups;
    char Manufacturer[34];
    char ProductFamily[34];
    char ProductName[34];
};

struct TW_STATUS {
    uint16_t ConditionCode;
    uint16_t Data;
};

struct TW_STATUSUTF8 {
    TW_STATUS Status;
    uint32_t Size;
    Handle UTF8string;
};

struct TW_CAPABILITY {
    uint16_t Cap;
    uint16_t ConType;
    Handle hContainer;
};

struct TW_ONEVALUE {
    uint16_t ItemType;
    uint32_t Item;
};

struct TW_ENUMERATION {
    uint16_t ItemType;
    uint32_t NumItems;
    uint32_t CurrentIndex;
    uint32_t DefaultIndex;
    uint8_t ItemList[1];
};

struct TW_ARRAY {
    uint16_t ItemType;
    uint32_t NumItems;
    uint8_t ItemList[1];
};

struct TW_RANGE {
    uint16_t ItemType;
    uint32_t MinValue;
    uint32_t MaxValue;
    uint32_t StepSize;
    uint32_t DefaultValue;
    uint32_t CurrentValue;
};

struct TW_IMAGEINFO {
    TW_FIX32 XResolution;
    TW_FIX32 YResolution;
    int32_t ImageWidth;
    int32_t ImageLength;
    int16_t SamplesPerPixel;
    int16_t BitsPerSample[8];
    int16_t BitsPerPixel;
    uint16_t Planar;
    int16_t PixelType;
    uint16_t Compression;
};

struct TW_IMAGELAYOUT {
    TW_FRAME Frame;
    uint32_t DocumentNumber;
    uint32_t PageNumber;
    uint32_t FrameNumber;
};

struct TW_SETUPMEMXFER {
    uint32_t MinBufSize;
    uint32_t MaxBufSize;
    uint32_t Preferred;
};

struct TW_MEMORY {
    uint32_t Flags;
    uint32_t Length;
    MemRef TheMem;
};

struct TW_IMAGEMEMXFER {
    uint16_t Compression;
    uint32_t BytesPerRow;
    uint32_t Columns;
    uint32_t Rows;
    uint32_t XOffset;
    uint32_t YOffset;
    uint32_t BytesWritten;
    TW_MEMORY Memory;
};

struct TW_SETUPFILEXFER {
    char FileName[256];
    uint16_t Format;
    int16_t VRefNum;
};

struct TW_USERINTERFACE {
    uint16_t ShowUI;
    uint16_t ModalUI;
    Handle hParent;
};

struct TW_EVENT {
    MemRef pEvent;
    uint16_t TWMessage;
};

struct TW_PENDINGXFERS {
    uint16_t Count;
    uint32_t EOJ;
};

struct TW_CUSTOMDSDATA {
    uint32_t InfoLength;
    Handle hData;
};

struct TW_DEVICEEVENT {
    uint32_t Event;
    char DeviceName[256];
    uint32_t BatteryMinutes;
    int16_t BatteryPercentage;
    int32_t PowerSupply;
    TW_FIX32 XResolution;
    TW_FIX32 YResolution;
    uint32_t FlashUsed2;
    uint32_t AutomaticCapture;
    uint32_t TimeBeforeFirstCapture;
    uint32_t TimeBetweenCaptures;
};

using DSMENTRYPROC = uint16_t(TWPP_CALLSTYLE*)(TW_IDENTITY* origin, TW_IDENTITY* dest, uint32_t dg,
                                               uint16_t dat, uint16_t msg, MemRef data);
using DSENTRYPROC = uint16_t(TWPP_CALLSTYLE*)(TW_IDENTITY* origin, uint32_t dg, uint16_t dat, uint16_t msg,
                                              MemRef data);
using DSM_MEMALLOCATE = Handle(TWPP_CALLSTYLE*)(uint32_t size);
using DSM_MEMFREE = void(TWPP_CALLSTYLE*)(Handle handle);
using DSM_MEMLOCK = MemRef(TWPP_CALLSTYLE*)(Handle handle);
using DSM_MEMUNLOCK = void(TWPP_CALLSTYLE*)(Handle handle);

struct TW_ENTRYPOINT {
    uint32_t Size;
    DSMENTRYPROC DSM_Entry;
    DSM_MEMALLOCATE DSM_MemAllocate;
    DSM_MEMFREE DSM_MemFree;
    DSM_MEMLOCK DSM_MemLock;
    DSM_MEMUNLOCK DSM_MemUnlock;
};

struct TW_ELEMENT8 {
    uint8_t Index;
    uint8_t Channel1;
    uint8_t Channel2;
    uint8_t Channel3;
};

struct TW_PALETTE8 {
    uint16_t NumColors;
    uint16_t PaletteType;
    TW_ELEMENT8 Colors[256];
};

struct TW_JPEGCOMPRESSION {
    uint16_t ColorSpace;
    uint32_t SubSampling;
    uint16_t NumComponents;
    uint16_t RestartFrequency;
    uint16_t QuantMap[4];
    TW_MEMORY QuantTable[4];
    uint16_t HuffmanMap[4];
    TW_MEMORY HuffmanDC[2];
    TW_MEMORY HuffmanAC[2];
};

struct TW_PASSTHRU {
    MemRef pCommand;
    uint32_t CommandBytes;
    int32_t Direction;
    MemRef pData;
    uint32_t DataBytes;
    uint32_t DataBytesXfered;
};

struct TW_AUDIOINFO {
    char Name[256];
    uint32_t Reserved;
};

struct TW_FILESYSTEM {
    char InputName[256];
    char OutputName[256];
    MemRef Context;
    uint8_t Rest[1124 - 516];
};

#pragma pack(pop)

// Layout checks against the protocol's published sizes and offsets.
constexpr bool kIs64Bit = sizeof(void*) == 8;
static_assert(sizeof(TW_FIX32) == 4 && sizeof(TW_FRAME) == 16);
static_assert(sizeof(TW_VERSION) == 42);
static_assert(sizeof(TW_IDENTITY) == 156 && offsetof(TW_IDENTITY, ProtocolMajor) == 46 &&
              offsetof(TW_IDENTITY, SupportedGroups) == 50 && offsetof(TW_IDENTITY, Manufacturer) == 54 &&
              offsetof(TW_IDENTITY, ProductFamily) == 88 && offsetof(TW_IDENTITY, ProductName) == 122);
static_assert(sizeof(TW_STATUS) == 4);
static_assert(sizeof(TW_STATUSUTF8) == (kIs64Bit ? 16 : 12));
static_assert(sizeof(TW_CAPABILITY) == (kIs64Bit ? 12 : 8) && offsetof(TW_CAPABILITY, hContainer) == 4);
static_assert(sizeof(TW_ONEVALUE) == 6 && offsetof(TW_ONEVALUE, Item) == 2);
static_assert(sizeof(TW_ENUMERATION) == 16 && offsetof(TW_ENUMERATION, NumItems) == 2 &&
              offsetof(TW_ENUMERATION, CurrentIndex) == 6 && offsetof(TW_ENUMERATION, DefaultIndex) == 10 &&
              offsetof(TW_ENUMERATION, ItemList) == 14);
static_assert(sizeof(TW_ARRAY) == 8 && offsetof(TW_ARRAY, ItemList) == 6);
static_assert(sizeof(TW_RANGE) == 22 && offsetof(TW_RANGE, DefaultValue) == 14 &&
              offsetof(TW_RANGE, CurrentValue) == 18);
static_assert(sizeof(TW_IMAGEINFO) == 42 && offsetof(TW_IMAGEINFO, BitsPerSample) == 18 &&
              offsetof(TW_IMAGEINFO, BitsPerPixel) == 34 && offsetof(TW_IMAGEINFO, Compression) == 40);
static_assert(sizeof(TW_IMAGELAYOUT) == 28);
static_assert(sizeof(TW_SETUPMEMXFER) == 12);
static_assert(sizeof(TW_MEMORY) == (kIs64Bit ? 16 : 12));
static_assert(sizeof(TW_IMAGEMEMXFER) == (kIs64Bit ? 42 : 38) && offsetof(TW_IMAGEMEMXFER, Memory) == 26 &&
              offsetof(TW_IMAGEMEMXFER, BytesWritten) == 22);
static_assert(sizeof(TW_SETUPFILEXFER) == 260 && offsetof(TW_SETUPFILEXFER, Format) == 256);
static_assert(sizeof(TW_USERINTERFACE) == (kIs64Bit ? 12 : 8) && offsetof(TW_USERINTERFACE, hParent) == 4);
static_assert(sizeof(TW_EVENT) == (kIs64Bit ? 10 : 6));
static_assert(sizeof(TW_PENDINGXFERS) == 6 && offsetof(TW_PENDINGXFERS, EOJ) == 2);
static_assert(sizeof(TW_CUSTOMDSDATA) == (kIs64Bit ? 12 : 8));
static_assert(sizeof(TW_DEVICEEVENT) == 294 && offsetof(TW_DEVICEEVENT, PowerSupply) == 266);
static_assert(sizeof(TW_ENTRYPOINT) == (kIs64Bit ? 44 : 24) &&
              offsetof(TW_ENTRYPOINT, DSM_MemUnlock) == (kIs64Bit ? 36 : 20));
static_assert(sizeof(TW_PALETTE8) == 1028);
static_assert(sizeof(TW_JPEGCOMPRESSION) == (kIs64Bit ? 154 : 122));
static_assert(sizeof(TW_PASSTHRU) == (kIs64Bit ? 32 : 24));
static_assert(sizeof(TW_AUDIOINFO) == 260);
static_assert(sizeof(TW_FILESYSTEM) == (kIs64Bit ? 1128 : 1124));

} // namespace Twpp
