// The wrapper layer's exceptions. They never leave the data source: the source's call operation turns
// the CapabilityException family into TWCC_BADVALUE, DS_Entry turns everything else into a status.
#pragma once

#include <exception>

namespace Twpp {

class Exception : public std::exception {
public:
    const char* what() const noexcept override { return "General TWPP error."; }
};

class CapabilityException : public Exception {
public:
    const char* what() const noexcept override { return "Capability handling error."; }
};

// A capability container of another kind than the accessor needs.
class ContainerException : public CapabilityException {
public:
    const char* what() const noexcept override { return "Unexpected container."; }
};

// A capability without container memory.
class DataException : public CapabilityException {
public:
    const char* what() const noexcept override { return "No data."; }
};

} // namespace Twpp
