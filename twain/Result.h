// The value every operation of the data source returns: a status for DAT_STATUS and a return code.
#pragma once

#include "twain/Twain.h"

namespace Twpp {

// Layout of TW_STATUS.
struct Status {
    ConditionCode condition = TWCC_SUCCESS;
    uint16_t data = 0;

    friend bool operator==(const Status& a, const Status& b) {
        return a.condition == b.condition && a.data == b.data;
    }
};
static_assert(sizeof(Status) == sizeof(TW_STATUS));

struct Result {
    Status status;
    ReturnCode returnCode = TWRC_SUCCESS;

    constexpr Result() = default;
    constexpr Result(ReturnCode rc, ConditionCode cc) : status{cc, 0}, returnCode(rc) {}

    bool isSuccess() const { return returnCode == TWRC_SUCCESS; }
    ConditionCode condition() const { return status.condition; }

    friend bool operator==(const Result& a, const Result& b) {
        return a.returnCode == b.returnCode && a.status == b.status;
    }
};

inline constexpr Result success() { return Result(TWRC_SUCCESS, TWCC_SUCCESS); }
// Every failure the framework produces pairs TWRC_FAILURE with a specific condition.
inline constexpr Result failure(ConditionCode condition) { return Result(TWRC_FAILURE, condition); }

} // namespace Twpp
