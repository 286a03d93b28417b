// The library's exports: the four entry points that the data source binds, and the diagnostic
// entry points of SimControl.h. Nothing may unwind into the caller, so each one turns exceptions into
// a status here.
#include "Diagnostics.h"
#include "Profile.h"
#include "SimControl.h"
#include "SimScanner.h"

#include "datasource/ScannerBackend.h"

#include <new>

namespace {

// open_scanner's answers when the device cannot be simulated.
constexpr int32_t kStatusBadProtocol = 0xDE01; // not the model this backend drives
constexpr int32_t kStatusOperationError = 269; // the profile cannot be read

} // namespace

extern "C" {

SANE_EXPORT int32_t initialize(int32_t) {
    simscanner::journal("initialize");
    return 0;
}

SANE_EXPORT int32_t uninitialize(int32_t) {
    simscanner::journal("uninitialize");
    return 0;
}

SANE_EXPORT int32_t open_scanner(uint32_t deviceModel, backend::ScannerObject** scanner) {
    if (!scanner)
        return kStatusBadProtocol;
    *scanner = nullptr;
    if (deviceModel != backend::kDeviceModel) {
        simscanner::journal("open_scanner status=" + std::to_string(kStatusBadProtocol));
        return kStatusBadProtocol;
    }
    try {
        // The profile is chosen anew at each open, so a test can switch devices between opens.
        simscanner::Profile profile = simscanner::loadProfile(simscanner::selectedProfileName());
        if (profile.faults.openStatus != 0) {
            simscanner::journal("open_scanner status=" + std::to_string(profile.faults.openStatus));
            return profile.faults.openStatus;
        }
        simscanner::journal("open_scanner");
        if (!profile.faults.noScanner)
            *scanner = new simscanner::SimScanner(std::move(profile));
        return 0;
    } catch (const simscanner::ProfileError& error) {
        simscanner::journal(std::string("open_scanner profile error: ") + error.what());
        return kStatusOperationError;
    } catch (...) {
        simscanner::journal("open_scanner failed");
        return kStatusOperationError;
    }
}

SANE_EXPORT int32_t is_scanner_online(uint32_t deviceModel) {
    if (deviceModel != backend::kDeviceModel)
        return 0;
    try {
        return simscanner::loadProfile(simscanner::selectedProfileName()).isOnline ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

SANE_EXPORT int sim_live_scanners() { return simscanner::liveObjects(simscanner::ObjectKind::Scanner); }
SANE_EXPORT int sim_live_images() { return simscanner::liveObjects(simscanner::ObjectKind::Image); }
SANE_EXPORT int sim_pending_images() { return simscanner::pendingImages(); }

SANE_EXPORT const char* sim_journal() {
    static std::string snapshot;
    snapshot = simscanner::journalText();
    return snapshot.c_str();
}

SANE_EXPORT void sim_clear_journal() { simscanner::clearJournal(); }

} // extern "C"
