// Acquisition: enabling the source with or without the device's user interface, turning the
// scanner's events into notifications, and the pending-transfer questions. The source keeps no image
// queue: the backend holds the scanned pages and is only asked how many there are.
#include "datasource/tarsin_ds.h"

namespace tarsin {

using namespace Twpp;

Result tarsin_ds::userInterfaceEnable(TW_IDENTITY&, TW_USERINTERFACE& data) {
    if (!m_scanner)
        return failure(TWCC_SEQERROR);
    if (!data.ShowUI) {
        if (m_indicators && !m_scanner->show_indicators(data.hParent))
            return failure(TWCC_SEQERROR);
        m_scanner->set_transfer_mechanism(m_xferMech);
        return m_scanner->start_scan() == 0 ? success() : failure(TWCC_BUMMER);
    }
    // The scan starts when the device's own interface asks for it (event 0x1002).
    return m_scanner->show_user_interface(data.hParent, 1, m_indicators) ? success() : failure(TWCC_SEQERROR);
}

Result tarsin_ds::userInterfaceEnableUiOnly(TW_IDENTITY&, TW_USERINTERFACE& data) {
    if (!m_scanner)
        return failure(TWCC_SEQERROR);
    return m_scanner->show_user_interface(data.hParent, 0, m_indicators) ? success() : failure(TWCC_SEQERROR);
}

Result tarsin_ds::userInterfaceDisable(TW_IDENTITY&, TW_USERINTERFACE&) {
    if (m_scanner)
        m_scanner->stop_scan();
    return success();
}

Result tarsin_ds::pendingXfersStopFeeder(TW_IDENTITY& origin, TW_PENDINGXFERS&) {
    TW_USERINTERFACE unused{};
    return userInterfaceDisable(origin, unused);
}

Result tarsin_ds::eventProcess(TW_IDENTITY&, TW_EVENT&) {
    if (m_scanner) {
        switch (m_scanner->poll_event()) {
        case backend::kEventImageReady:
            sendNotification(MSG_XFERREADY);
            break;
        case backend::kEventStopped:
            m_scanner->stop_scan();
            sendNotification(MSG_NULL);
            m_scanner->close_user_interface();
            sendNotification(MSG_CLOSEDSOK);
            break;
        case backend::kEventUserInterfaceClosed:
            m_scanner->close_user_interface();
            sendNotification(MSG_CLOSEDSOK);
            break;
        case backend::kEventScanRequested:
            m_scanner->show_indicators(nullptr);
            m_scanner->start_scan();
            break;
        default:
            break;
        }
    }
    // Notifications go through the manager; the event itself is never the source's.
    return Result(TWRC_NOTDSEVENT, TWCC_SUCCESS);
}

Result tarsin_ds::pendingXfersGet(TW_IDENTITY&, TW_PENDINGXFERS& data) {
    if (!m_scanner)
        return failure(TWCC_SEQERROR);
    data.Count = static_cast<uint16_t>(m_scanner->count_images(-1));
    return success();
}

Result tarsin_ds::pendingXfersEnd(TW_IDENTITY& origin, TW_PENDINGXFERS& data) {
    // An application that ends a memory transfer early is done with that page: a held image left
    // behind would make the next transfer continue the old page instead of starting the next one.
    releaseHeldImage();
    // The backend no longer counts an image whose object the transfer took.
    return pendingXfersGet(origin, data);
}

Result tarsin_ds::pendingXfersReset(TW_IDENTITY&, TW_PENDINGXFERS& data) {
    releaseHeldImage();
    if (!m_scanner)
        return failure(TWCC_SEQERROR);
    data.Count = static_cast<uint16_t>(m_scanner->count_images(-1));
    return success();
}

} // namespace tarsin
