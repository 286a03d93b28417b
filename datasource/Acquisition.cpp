// Acquisition: enabling, device events and pending transfers.
#include "datasource/tarsin_ds.h"

namespace tarsin {

using namespace Twpp;

Result tarsin_ds::userInterfaceEnable(TW_IDENTITY&, TW_USERINTERFACE&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::userInterfaceEnableUiOnly(TW_IDENTITY&, TW_USERINTERFACE&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::userInterfaceDisable(TW_IDENTITY&, TW_USERINTERFACE&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::eventProcess(TW_IDENTITY&, TW_EVENT&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::pendingXfersGet(TW_IDENTITY&, TW_PENDINGXFERS&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::pendingXfersEnd(TW_IDENTITY&, TW_PENDINGXFERS&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::pendingXfersReset(TW_IDENTITY&, TW_PENDINGXFERS&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::pendingXfersStopFeeder(TW_IDENTITY&, TW_PENDINGXFERS&) { return failure(TWCC_BADPROTOCOL); }

} // namespace tarsin
