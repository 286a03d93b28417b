// The device's options as the data source sees them: an index per present role, a descriptor, the
// values it reports and the checks that a new value must pass.
#pragma once

#include "Profile.h"

#include "datasource/ScannerBackend.h"

#include <string>
#include <vector>

namespace simscanner {

// set_option_value's refusal (TWCC_BADVALUE once the data source maps it).
constexpr int32_t kStatusBadValue = 256;

class OptionTable {
public:
    explicit OptionTable(std::vector<OptionDescriptor> options);

    // The option index of a role (its position in the table, from 1), or -1 when the device lacks it.
    int32_t indexOfRole(int role) const;
    const OptionDescriptor* optionOfRole(int role) const;
    // The current value of a numeric role, or the fallback when the device lacks the role.
    double currentNumber(int role, double fallback) const;

    bool describe(int32_t index, int32_t* valueType, int32_t* constraint) const;
    // Reports each list value once (with 0x02 / 0x01 when it is also the current / default value), a
    // range as minimum, maximum, step, current and default, and an unconstrained option as current
    // and default. Reporting a list's current value apart would add it to the data source's list twice.
    bool report(int32_t index, backend::OptionValueCallback callback, void* collector) const;
    // 0 when accepted; kStatusBadValue when the index is unknown or the value is outside the list or
    // range. `journalLine` receives a description of the attempt.
    int32_t assign(int32_t index, const void* value, std::string& journalLine);

private:
    const OptionDescriptor* optionAt(int32_t index) const;

    std::vector<OptionDescriptor> m_options;
};

} // namespace simscanner
