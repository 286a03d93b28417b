// Diagnostic entry points of the simulated backend, for tests and tools only: the data source never
// calls them. Load them from the same library (same path, hence the same module) as the data source.
#pragma once

#ifndef SANE_EXPORT
#define SANE_EXPORT
#endif

extern "C" {

SANE_EXPORT int sim_live_scanners();  // scanner objects not yet released to zero
SANE_EXPORT int sim_live_images();    // image objects not yet released to zero
SANE_EXPORT int sim_pending_images(); // pages scanned and not yet taken, over every scanner
// The journal: one line per state-changing call, e.g. "set_option_value role=24 value=300",
// "set_compression 5", "start_scan". Valid until the next call of sim_journal or sim_clear_journal.
SANE_EXPORT const char* sim_journal();
SANE_EXPORT void sim_clear_journal();
}

using SimLiveScannersFn = int (*)();
using SimLiveImagesFn = int (*)();
using SimPendingImagesFn = int (*)();
using SimJournalFn = const char* (*)();
using SimClearJournalFn = void (*)();
