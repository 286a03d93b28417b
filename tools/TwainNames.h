// Names of TWAIN codes for people: condition codes in errors, capabilities, containers and item
// types in the capability listing. Unknown codes are written in hexadecimal.
#pragma once

#include <cstdint>
#include <string>

namespace scantool {

std::string conditionName(uint16_t condition);
std::string returnCodeName(uint16_t returnCode);
std::string capabilityName(uint16_t capability);
std::string containerName(uint16_t conType);
std::string itemTypeName(uint16_t itemType);
std::string hex4(uint32_t value);

} // namespace scantool
