// Reading and writing one scanner option for the scanner patterns.
#include "datasource/capabilities/Patterns.h"

namespace tarsin::caps {

template <typename Raw>
OptionValues<Raw> readOption(const tarsin_ds& source, int role, const Raw& fallbackCurrent,
                             const Raw& fallbackDefault, unsigned parts) {
    OptionValues<Raw> values;
    values.current = fallbackCurrent;
    values.defaultValue = fallbackDefault;
    const int32_t index = source.roleIndex(role);
    if (index < 1)
        return values;
    ValueCollector<Raw> collector;
    collector.currentTarget = &values.current;
    collector.defaultTarget = &values.defaultValue;
    std::list<Raw> linked;
    if (parts & kReadList)
        collector.values = &values.list;
    else if (parts & kReadLinkedList)
        collector.valuesList = &linked;
    if (parts & kReadRange) {
        collector.minimumTarget = &values.minimum;
        collector.maximumTarget = &values.maximum;
        collector.stepTarget = &values.step;
    }
    source.scanner()->enum_option_values(index, collectorCallback<Raw>(), &collector);
    if (parts & kReadLinkedList)
        values.list.assign(linked.begin(), linked.end());
    return values;
}

template <typename Raw>
bool writeOption(const tarsin_ds& source, int role, const Raw& value) {
    const int32_t index = source.roleIndex(role);
    if (index < 1)
        return false;
    return source.scanner()->set_option_value(index, &value) == 0;
}

#define TARSIN_OPTION_REPRESENTATION(Raw)                                                                    \
    template OptionValues<Raw> readOption<Raw>(const tarsin_ds&, int, const Raw&, const Raw&, unsigned);     \
    template bool writeOption<Raw>(const tarsin_ds&, int, const Raw&);
TARSIN_OPTION_REPRESENTATION(uint8_t)
TARSIN_OPTION_REPRESENTATION(int32_t)
TARSIN_OPTION_REPRESENTATION(float)
TARSIN_OPTION_REPRESENTATION(FormatRecord)
TARSIN_OPTION_REPRESENTATION(std::string)
#undef TARSIN_OPTION_REPRESENTATION

} // namespace tarsin::caps
