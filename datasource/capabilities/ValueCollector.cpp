#include "datasource/capabilities/ValueCollector.h"

#include <cstring>

namespace tarsin {

namespace {
template <typename Raw>
Raw readValue(const void* value) {
    if constexpr (std::is_same_v<Raw, std::string>) {
        return *static_cast<const std::string*>(value); // the backend keeps its string: copy it
    } else {
        Raw copy;
        std::memcpy(static_cast<void*>(&copy), value, sizeof(Raw));
        return copy;
    }
}
} // namespace

template <typename Raw>
bool collectValue(const void* value, uint32_t flags, void* collector) {
    if (!value || !collector)
        return true;
    auto& target = *static_cast<ValueCollector<Raw>*>(collector);
    const Raw item = readValue<Raw>(value);
    const std::pair<uint32_t, Raw*> slots[] = {{backend::kReportCurrent, target.currentTarget},
                                               {backend::kReportDefault, target.defaultTarget},
                                               {backend::kReportMinimum, target.minimumTarget},
                                               {backend::kReportMaximum, target.maximumTarget}};
    for (const auto& [bit, slot] : slots)
        if ((flags & bit) && slot)
            *slot = item;
    if (flags & backend::kReportStep) {
        // A step is never a list value.
        if (target.stepTarget)
            *target.stepTarget = item;
        return true;
    }
    if (target.values)
        target.values->push_back(item);
    else if (target.valuesList)
        target.valuesList->push_back(item);
    return true;
}

template bool collectValue<uint8_t>(const void*, uint32_t, void*);
template bool collectValue<int32_t>(const void*, uint32_t, void*);
template bool collectValue<float>(const void*, uint32_t, void*);
template bool collectValue<FormatRecord>(const void*, uint32_t, void*);
template bool collectValue<std::string>(const void*, uint32_t, void*);

} // namespace tarsin
