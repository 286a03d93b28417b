#include "OptionTable.h"

#include <array>
#include <cmath>
#include <cstring>
#include <sstream>

namespace simscanner {

namespace {

constexpr size_t kFormatRecordBytes = 16;
// Range steps of fixed options are checked with this slack, as floats rarely divide exactly.
constexpr double kFixedStepTolerance = 1e-4;

bool sameValue(const OptionDescriptor& option, const OptionValue& left, const OptionValue& right) {
    if (option.valueType == kTypeText)
        return left.text == right.text;
    if (option.valueType == kTypeFixed)
        return static_cast<float>(left.number) == static_cast<float>(right.number);
    return left.number == right.number;
}

// Holds one value in the representation that crosses the interface.
class WireValue {
public:
    WireValue(const OptionDescriptor& option, const OptionValue& value) : m_text(value.text) {
        if (option.isFormatRecord) {
            const uint16_t code = static_cast<uint16_t>(value.number);
            std::memcpy(m_bytes.data(), &code, sizeof(code));
            m_pointer = m_bytes.data();
        } else if (option.valueType == kTypeBoolean) {
            m_bytes[0] = value.number != 0 ? 1 : 0;
            m_pointer = m_bytes.data();
        } else if (option.valueType == kTypeInteger) {
            const int32_t number = static_cast<int32_t>(value.number);
            std::memcpy(m_bytes.data(), &number, sizeof(number));
            m_pointer = m_bytes.data();
        } else if (option.valueType == kTypeFixed) {
            const float number = static_cast<float>(value.number);
            std::memcpy(m_bytes.data(), &number, sizeof(number));
            m_pointer = m_bytes.data();
        } else {
            m_pointer = &m_text;
        }
    }
    WireValue(const WireValue&) = delete;
    WireValue& operator=(const WireValue&) = delete;

    const void* pointer() const { return m_pointer; }

private:
    std::array<uint8_t, kFormatRecordBytes> m_bytes{};
    std::string m_text;
    const void* m_pointer = nullptr;
};

OptionValue valueFromWire(const OptionDescriptor& option, const void* value, bool& isWellFormed) {
    OptionValue result;
    isWellFormed = true;
    if (option.isFormatRecord) {
        uint16_t code = 0;
        std::memcpy(&code, value, sizeof(code));
        result.number = code;
    } else if (option.valueType == kTypeBoolean) {
        const uint8_t byte = *static_cast<const uint8_t*>(value);
        isWellFormed = byte <= 1;
        result.number = byte;
    } else if (option.valueType == kTypeInteger) {
        int32_t number = 0;
        std::memcpy(&number, value, sizeof(number));
        result.number = number;
    } else if (option.valueType == kTypeFixed) {
        float number = 0;
        std::memcpy(&number, value, sizeof(number));
        isWellFormed = std::isfinite(number);
        result.number = number;
    } else {
        result.text = *static_cast<const std::string*>(value);
    }
    return result;
}

bool isAllowed(const OptionDescriptor& option, const OptionValue& value) {
    if (option.constraint == kConstraintList) {
        for (const OptionValue& listed : option.list)
            if (sameValue(option, listed, value))
                return true;
        return false;
    }
    if (option.constraint == kConstraintRange) {
        if (value.number < option.minimum.number || value.number > option.maximum.number)
            return false;
        if (option.step.number <= 0)
            return true;
        const double steps = (value.number - option.minimum.number) / option.step.number;
        return std::fabs(steps - std::round(steps)) < kFixedStepTolerance;
    }
    return true;
}

std::string describeValue(const OptionDescriptor& option, const OptionValue& value) {
    if (option.valueType == kTypeText)
        return value.text;
    std::ostringstream text;
    text << value.number;
    return text.str();
}

} // namespace

OptionTable::OptionTable(std::vector<OptionDescriptor> options) : m_options(std::move(options)) {}

int32_t OptionTable::indexOfRole(int role) const {
    for (size_t position = 0; position < m_options.size(); ++position)
        if (m_options[position].role == role)
            return static_cast<int32_t>(position + 1);
    return -1;
}

const OptionDescriptor* OptionTable::optionOfRole(int role) const { return optionAt(indexOfRole(role)); }

double OptionTable::currentNumber(int role, double fallback) const {
    const OptionDescriptor* option = optionOfRole(role);
    return option ? option->current.number : fallback;
}

const OptionDescriptor* OptionTable::optionAt(int32_t index) const {
    if (index < 1 || static_cast<size_t>(index) > m_options.size())
        return nullptr;
    return &m_options[static_cast<size_t>(index) - 1];
}

bool OptionTable::describe(int32_t index, int32_t* valueType, int32_t* constraint) const {
    const OptionDescriptor* option = optionAt(index);
    if (!option)
        return false;
    if (valueType)
        *valueType = option->valueType;
    if (constraint)
        *constraint = option->constraint;
    return true;
}

bool OptionTable::report(int32_t index, backend::OptionValueCallback callback, void* collector) const {
    const OptionDescriptor* option = optionAt(index);
    if (!option || !callback)
        return false;
    auto send = [&](const OptionValue& value, uint32_t flags) {
        const WireValue wire(*option, value);
        return callback(wire.pointer(), flags, collector);
    };
    if (option->constraint == kConstraintList) {
        bool isCurrentListed = false;
        bool isDefaultListed = false;
        for (const OptionValue& value : option->list) {
            uint32_t flags = 0;
            // Only the first equal entry carries the flags, so a list with repeats still has one
            // current and one default.
            if (!isCurrentListed && sameValue(*option, value, option->current)) {
                flags |= backend::kReportCurrent;
                isCurrentListed = true;
            }
            if (!isDefaultListed && sameValue(*option, value, option->defaultValue)) {
                flags |= backend::kReportDefault;
                isDefaultListed = true;
            }
            if (!send(value, flags))
                return true;
        }
        return true;
    }
    if (option->constraint == kConstraintRange) {
        if (!send(option->minimum, backend::kReportMinimum) ||
            !send(option->maximum, backend::kReportMaximum) || !send(option->step, backend::kReportStep))
            return true;
    }
    if (send(option->current, backend::kReportCurrent))
        send(option->defaultValue, backend::kReportDefault);
    return true;
}

int32_t OptionTable::assign(int32_t index, const void* value, std::string& journalLine) {
    const OptionDescriptor* described = optionAt(index);
    if (!described || !value) {
        journalLine = "set_option_value index=" + std::to_string(index) + " refused";
        return kStatusBadValue;
    }
    OptionDescriptor& option = m_options[static_cast<size_t>(index) - 1];
    bool isWellFormed = true;
    const OptionValue candidate = valueFromWire(option, value, isWellFormed);
    journalLine =
        "set_option_value role=" + std::to_string(option.role) + " value=" + describeValue(option, candidate);
    if (!isWellFormed || !isAllowed(option, candidate)) {
        journalLine += " refused";
        return kStatusBadValue;
    }
    option.current = candidate;
    return 0;
}

} // namespace simscanner
