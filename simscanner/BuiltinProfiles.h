// The profiles that need no file: the device most machines simulate, and a bare one.
#pragma once

#include <string>

namespace simscanner {

// The JSON text of a built-in profile, or null when no built-in profile has that name.
const char* builtinProfileText(const std::string& name);

} // namespace simscanner
