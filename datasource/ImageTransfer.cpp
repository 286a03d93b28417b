// Image description and transfer in native, memory and file modes.
#include "datasource/tarsin_ds.h"

namespace tarsin {

using namespace Twpp;

Result tarsin_ds::imageInfoGet(TW_IDENTITY&, TW_IMAGEINFO&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::imageLayoutGet(TW_IDENTITY&, TW_IMAGELAYOUT&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::imageLayoutGetDefault(TW_IDENTITY&, TW_IMAGELAYOUT&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::imageLayoutReset(TW_IDENTITY&, TW_IMAGELAYOUT&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::imageLayoutSet(TW_IDENTITY&, TW_IMAGELAYOUT&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::setupMemXferGet(TW_IDENTITY&, TW_SETUPMEMXFER&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::imageNativeXferGet(TW_IDENTITY&, Handle&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::imageMemXferGet(TW_IDENTITY&, TW_IMAGEMEMXFER&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::imageFileXferGet(TW_IDENTITY&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::setupFileXferGet(TW_IDENTITY&, TW_SETUPFILEXFER&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::setupFileXferGetDefault(TW_IDENTITY&, TW_SETUPFILEXFER&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::setupFileXferSet(TW_IDENTITY&, TW_SETUPFILEXFER&) { return failure(TWCC_BADPROTOCOL); }
Result tarsin_ds::setupFileXferReset(TW_IDENTITY&, TW_SETUPFILEXFER&) { return failure(TWCC_BADPROTOCOL); }

} // namespace tarsin
