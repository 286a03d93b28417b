// The interface of the scanner backend library "sane", declared once for the data source that loads
// it and for the simulated backend that stands in for it on development machines.
//
// Both objects are reference-counted C++ objects whose virtual functions stand at fixed positions of
// their tables; the positions are the interface, so never reorder, insert or remove a function here
// (the reserved_ slots keep unused positions). Objects are released, never deleted.
//
// Text crosses as std::string (UTF-8) and values of text options as pointers to std::string: a
// backend must be built with the same compiler and standard library as the data source.
#pragma once

#include <cstdint>
#include <string>

namespace backend {

// The device model that the data source asks the backend for.
constexpr uint32_t kDeviceModel = 0x29033300;

// Device events answered by ScannerObject::poll_event.
enum Event : int32_t {
    kEventNone = 0,
    kEventImageReady = 8,
    kEventStopped = 0x1000,
    kEventUserInterfaceClosed = 0x1001,
    kEventScanRequested = 0x1002,
};

// Report flags passed with each value that enum_option_values reports.
enum ReportFlags : uint32_t {
    kReportDefault = 0x01,
    kReportCurrent = 0x02,
    kReportMinimum = 0x04,
    kReportMaximum = 0x08,
    kReportStep = 0x10,
};

// get_option_info: value type and constraint codes.
enum OptionValueType : int32_t { kValueBoolean = 1, kValueInteger = 2, kValueFixed = 3, kValueText = 4 };
enum OptionConstraint : int32_t { kConstraintNone = 0, kConstraintList = 1, kConstraintRange = 2 };

// take_image kinds.
enum ImageKind : int32_t { kImageNative = 0, kImageFile = 1, kImageMemory = 2 };

// get_custom_data answers this when the device has custom data.
constexpr int32_t kCustomDataPresent = 258;

struct ImageParams {
    int32_t format; // 1 = colour, anything else grey (or black and white)
    int32_t last_frame;
    int32_t bytes_per_line;
    int32_t pixels_per_line;
    int32_t lines;
    int32_t depth; // bits per sample
};
static_assert(sizeof(ImageParams) == 24);

// What convert_image_file is asked to do: convert the file at source into format at destination.
struct ConvertRequest {
    uint32_t kind;         // 2
    uint32_t reserved[3];  // not set by the data source (zeroed)
    uint32_t version;      // 1
    const char* source;    // zero-terminated path, ANSI code page
    uint32_t sourceLength; // bytes, without the terminator
    uint32_t format;       // TWFF_ value
    uint32_t jpegQuality;  // 1 to 100
    uint32_t compression;  // TWCP_ value
    uint32_t zero;         // 0
    uint32_t one;          // 1
    const char* destination;
    uint32_t destinationLength;
};
static_assert(sizeof(void*) != 4 || sizeof(ConvertRequest) == 56);

// Called by enum_option_values once per reported value, synchronously, before it returns. value
// points to one value in the option's representation (uint8_t boolean, int32_t integer, float fixed,
// std::string text). Answers true to go on.
using OptionValueCallback = bool (*)(const void* value, uint32_t flags, void* collector);

class ImageObject {
public:
    virtual void add_ref() = 0;          // slot 0
    virtual void release() = 0;          // slot 1
    virtual int32_t columns() = 0;       // slot 2: pixels per row
    virtual int32_t bytes_per_row() = 0; // slot 3
    virtual int32_t rows() = 0;          // slot 4: rows of (compressed) data
    virtual void reserved_5() = 0;
    virtual void reserved_6() = 0;
    virtual void reserved_7() = 0;
    virtual uint64_t size() = 0; // slot 8: total bytes
    virtual void reserved_9() = 0;
    // slot 10: a pointer to the bytes at offset; *length holds the bytes wanted and receives the bytes
    // available there (possibly fewer). Null when nothing is left or the data cannot be had.
    virtual const uint8_t* data_at(uint64_t offset, uint32_t* length) = 0;
    // slot 11: copies up to *length bytes from offset into destination; *length receives the count.
    virtual int32_t read(void* destination, uint32_t* length, uint64_t offset) = 0;
    virtual std::string file_path() = 0;      // slot 12: the file the backend wrote, or empty
    virtual void keep_file(int32_t keep) = 0; // slot 13: the file outlives the object
    virtual void attach_params_record(ImageParams* record) = 0; // slot 14: filled later

protected:
    ~ImageObject() = default;
};

class ScannerObject {
public:
    virtual void add_ref() = 0;                        // slot 0
    virtual void release() = 0;                        // slot 1
    virtual int32_t start_scan() = 0;                  // slot 2: 0 = started
    virtual void stop_scan() = 0;                      // slot 3
    virtual int32_t poll_event() = 0;                  // slot 4: an Event
    virtual bool wait_image(int32_t timeout) = 0;      // slot 5: true = an image can be taken
    virtual int32_t count_images(int32_t wait) = 0;    // slot 6
    virtual ImageObject* take_image(int32_t kind) = 0; // slot 7: caller releases
    virtual bool get_image_params(ImageParams* params, uint32_t* compressedSize) = 0; // slot 8
    virtual bool is_online() = 0;                                                     // slot 9
    virtual bool is_feeder_loaded() = 0;                                              // slot 10
    virtual bool get_option_info(int32_t index, int32_t* valueType, int32_t* constraint,
                                 void* reserved) = 0; // slot 11
    virtual bool enum_option_values(int32_t index, OptionValueCallback callback,
                                    void* collector) = 0;                   // slot 12
    virtual int32_t set_option_value(int32_t index, const void* value) = 0; // slot 13: 0 = accepted
    virtual int32_t convert_image_file(ConvertRequest* request) = 0;        // slot 14: 0 = done
    virtual void reserved_15() = 0;
    // slots 16 to 94: the role getters. Each answers the option index of its role, or -1 (below 1)
    // when the device has no such option. Roles 1 to 54 are published as custom capabilities.
    virtual int32_t role_01() = 0; // slot 16
    virtual int32_t role_02() = 0; // slot 17
    virtual int32_t role_03() = 0; // slot 18
    virtual int32_t role_04() = 0; // slot 19
    virtual int32_t role_05() = 0; // slot 20
    virtual int32_t role_06() = 0; // slot 21
    virtual int32_t role_07() = 0; // slot 22
    virtual int32_t role_08() = 0; // slot 23
    virtual int32_t role_09() = 0; // slot 24
    virtual int32_t role_10() = 0; // slot 25
    virtual int32_t role_11() = 0; // slot 26
    virtual int32_t role_12() = 0; // slot 27
    virtual int32_t role_13() = 0; // slot 28
    virtual int32_t role_14() = 0; // slot 29
    virtual int32_t role_15() = 0; // slot 30
    virtual int32_t role_16() = 0; // slot 31
    virtual int32_t role_17() = 0; // slot 32
    virtual int32_t role_18() = 0; // slot 33
    virtual int32_t role_19() = 0; // slot 34
    virtual int32_t role_20() = 0; // slot 35
    virtual int32_t role_21() = 0; // slot 36
    virtual int32_t role_22() = 0; // slot 37
    virtual int32_t role_23() = 0; // slot 38
    virtual int32_t role_24() = 0; // slot 39
    virtual int32_t role_25() = 0; // slot 40
    virtual int32_t role_26() = 0; // slot 41
    virtual int32_t role_27() = 0; // slot 42
    virtual int32_t role_28() = 0; // slot 43
    virtual int32_t role_29() = 0; // slot 44
    virtual int32_t role_30() = 0; // slot 45
    virtual int32_t role_31() = 0; // slot 46
    virtual int32_t role_32() = 0; // slot 47
    virtual int32_t role_33() = 0; // slot 48
    virtual int32_t role_34() = 0; // slot 49
    virtual int32_t role_35() = 0; // slot 50
    virtual int32_t role_36() = 0; // slot 51
    virtual int32_t role_37() = 0; // slot 52
    virtual int32_t role_38() = 0; // slot 53
    virtual int32_t role_39() = 0; // slot 54
    virtual int32_t role_40() = 0; // slot 55
    virtual int32_t role_41() = 0; // slot 56
    virtual int32_t role_42() = 0; // slot 57
    virtual int32_t role_43() = 0; // slot 58
    virtual int32_t role_44() = 0; // slot 59
    virtual int32_t role_45() = 0; // slot 60
    virtual int32_t role_46() = 0; // slot 61
    virtual int32_t role_47() = 0; // slot 62
    virtual int32_t role_48() = 0; // slot 63
    virtual int32_t role_49() = 0; // slot 64
    virtual int32_t role_50() = 0; // slot 65
    virtual int32_t role_51() = 0; // slot 66
    virtual int32_t role_52() = 0; // slot 67
    virtual int32_t role_53() = 0; // slot 68
    virtual int32_t role_54() = 0; // slot 69
    virtual int32_t role_55() = 0; // slot 70
    virtual int32_t role_56() = 0; // slot 71
    virtual int32_t role_57() = 0; // slot 72
    virtual int32_t role_58() = 0; // slot 73
    virtual int32_t role_59() = 0; // slot 74
    virtual int32_t role_60() = 0; // slot 75
    virtual int32_t role_61() = 0; // slot 76
    virtual int32_t role_62() = 0; // slot 77
    virtual int32_t role_63() = 0; // slot 78
    virtual int32_t role_64() = 0; // slot 79
    virtual int32_t role_65() = 0; // slot 80
    virtual int32_t role_66() = 0; // slot 81
    virtual int32_t role_67() = 0; // slot 82
    virtual int32_t role_68() = 0; // slot 83
    virtual int32_t role_69() = 0; // slot 84
    virtual int32_t role_70() = 0; // slot 85
    virtual int32_t role_71() = 0; // slot 86
    virtual int32_t role_72() = 0; // slot 87
    virtual int32_t role_73() = 0; // slot 88
    virtual int32_t role_74() = 0; // slot 89
    virtual int32_t role_75() = 0; // slot 90
    virtual int32_t role_76() = 0; // slot 91
    virtual int32_t role_77() = 0; // slot 92
    virtual int32_t role_78() = 0; // slot 93
    virtual int32_t role_79() = 0; // slot 94
    virtual void reserved_95() = 0;
    virtual bool show_user_interface(void* parentWindow, int32_t mode, uint8_t indicators) = 0; // 96
    virtual bool show_indicators(void* parentWindow) = 0;                                       // slot 97
    virtual void close_user_interface() = 0;                                                    // slot 98
    virtual bool has_indicators() = 0;                                                          // slot 99
    virtual void set_transfer_mechanism(uint16_t mechanism) = 0;              // slot 100: TWSX_
    virtual void set_compression(uint16_t compression, int32_t reserved) = 0; // slot 101: TWCP_
    virtual int32_t get_custom_data(void* buffer, uint32_t* length) = 0;      // slot 102
    virtual void set_custom_data(const void* data, uint32_t length) = 0;      // slot 103

protected:
    ~ScannerObject() = default;
};

// The four entry points that the library exports (C linkage, the platform's C convention).
using InitializeFn = int32_t (*)(int32_t reserved);
using UninitializeFn = int32_t (*)(int32_t reserved);
using OpenScannerFn = int32_t (*)(uint32_t deviceModel, ScannerObject** scanner);
using IsScannerOnlineFn = int32_t (*)(uint32_t deviceModel);

constexpr int kRoleCount = 79;
// Calls role getter k (1 to 79) of a scanner object.
int32_t callRoleGetter(ScannerObject& scanner, int role);

} // namespace backend
