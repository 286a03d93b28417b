#include "ScannerBackend.h"

namespace backend {

int32_t callRoleGetter(ScannerObject& scanner, int role) {
    using Getter = int32_t (ScannerObject::*)();
    static constexpr Getter kGetters[kRoleCount] = {
        &ScannerObject::role_01, &ScannerObject::role_02, &ScannerObject::role_03, &ScannerObject::role_04,
        &ScannerObject::role_05, &ScannerObject::role_06, &ScannerObject::role_07, &ScannerObject::role_08,
        &ScannerObject::role_09, &ScannerObject::role_10, &ScannerObject::role_11, &ScannerObject::role_12,
        &ScannerObject::role_13, &ScannerObject::role_14, &ScannerObject::role_15, &ScannerObject::role_16,
        &ScannerObject::role_17, &ScannerObject::role_18, &ScannerObject::role_19, &ScannerObject::role_20,
        &ScannerObject::role_21, &ScannerObject::role_22, &ScannerObject::role_23, &ScannerObject::role_24,
        &ScannerObject::role_25, &ScannerObject::role_26, &ScannerObject::role_27, &ScannerObject::role_28,
        &ScannerObject::role_29, &ScannerObject::role_30, &ScannerObject::role_31, &ScannerObject::role_32,
        &ScannerObject::role_33, &ScannerObject::role_34, &ScannerObject::role_35, &ScannerObject::role_36,
        &ScannerObject::role_37, &ScannerObject::role_38, &ScannerObject::role_39, &ScannerObject::role_40,
        &ScannerObject::role_41, &ScannerObject::role_42, &ScannerObject::role_43, &ScannerObject::role_44,
        &ScannerObject::role_45, &ScannerObject::role_46, &ScannerObject::role_47, &ScannerObject::role_48,
        &ScannerObject::role_49, &ScannerObject::role_50, &ScannerObject::role_51, &ScannerObject::role_52,
        &ScannerObject::role_53, &ScannerObject::role_54, &ScannerObject::role_55, &ScannerObject::role_56,
        &ScannerObject::role_57, &ScannerObject::role_58, &ScannerObject::role_59, &ScannerObject::role_60,
        &ScannerObject::role_61, &ScannerObject::role_62, &ScannerObject::role_63, &ScannerObject::role_64,
        &ScannerObject::role_65, &ScannerObject::role_66, &ScannerObject::role_67, &ScannerObject::role_68,
        &ScannerObject::role_69, &ScannerObject::role_70, &ScannerObject::role_71, &ScannerObject::role_72,
        &ScannerObject::role_73, &ScannerObject::role_74, &ScannerObject::role_75, &ScannerObject::role_76,
        &ScannerObject::role_77, &ScannerObject::role_78, &ScannerObject::role_79};
    if (role < 1 || role > kRoleCount)
        return -1;
    return (scanner.*kGetters[role - 1])();
}

} // namespace backend
