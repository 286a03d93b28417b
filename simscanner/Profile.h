// A device profile: everything the simulated scanner pretends to be (its options, its feeder, its user
// interface and the faults it injects), read from JSON so tests can describe a device in a few lines.
#pragma once

#include "TestChart.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace simscanner {

// Value type and constraint codes, as get_option_info answers them.
enum OptionType : int32_t { kTypeBoolean = 1, kTypeInteger = 2, kTypeFixed = 3, kTypeText = 4 };
enum OptionConstraint : int32_t { kConstraintNone = 0, kConstraintList = 1, kConstraintRange = 2 };

// One option value; numbers of every type live in `number`, text in `text`.
struct OptionValue {
    double number = 0;
    std::string text;
};

struct OptionDescriptor {
    int role = 0;
    int32_t valueType = kTypeInteger;
    int32_t constraint = kConstraintNone;
    // The file-format option crosses as a 16-byte record whose first 16 bits are the TWFF_ code.
    bool isFormatRecord = false;
    std::vector<OptionValue> list;
    OptionValue minimum;
    OptionValue maximum;
    OptionValue step;
    OptionValue defaultValue;
    OptionValue current;
};

struct Faults {
    int32_t openStatus = 0; // open_scanner answers this and creates no scanner
    bool noScanner = false; // open_scanner answers 0 but creates no scanner
    int32_t startScanStatus = 0;
    int jamAfterPages = -1; // the job ends after this many pages; -1 never
    bool readFails = false;
    bool dataAtFails = false;
    uint32_t chunkBytes = 0; // data_at hands out at most this many bytes; 0 = the whole rest
};

enum class UserInterfaceAction { None, Scan, Close };

struct Profile {
    std::string name;
    bool isOnline = true;
    bool isFeederLoaded = true;
    int sheets = 3;
    bool hasIndicators = true;
    bool showUserInterfaceAnswer = true;
    bool showIndicatorsAnswer = true;
    UserInterfaceAction userInterfaceAction = UserInterfaceAction::None;
    int userInterfaceAfterPolls = 0;
    bool transferAsFile = false; // file transfers write a temp file instead of handing out bytes
    std::string customData;
    // The page used when the resolution, colour mode or paper size role is absent.
    PageSpec pageWithoutOptions;
    Faults faults;
    std::vector<OptionDescriptor> options; // ordered by role; the option index is position + 1
};

class ProfileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The profile named by TARSIN_SIM_PROFILE, else by the registry value SimulatorProfile of
// HKEY_LOCAL_MACHINE\SOFTWARE\TarsinScan, else "default".
std::string selectedProfileName();

// A built-in profile ("default", "minimal") or the JSON file at a path. A profile that names a
// "base" is merged over it (objects merge key by key, null removes a key). Throws ProfileError.
Profile loadProfile(const std::string& nameOrPath);

} // namespace simscanner
