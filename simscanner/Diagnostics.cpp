#include "Diagnostics.h"

#include <atomic>
#include <mutex>

namespace simscanner {

namespace {

std::mutex& journalMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& journalLines() {
    static std::string lines;
    return lines;
}

std::atomic<int> g_liveScanners{0};
std::atomic<int> g_liveImages{0};
std::atomic<int> g_pendingImages{0};

std::atomic<int>& counterOf(ObjectKind kind) {
    return kind == ObjectKind::Scanner ? g_liveScanners : g_liveImages;
}

} // namespace

void journal(const std::string& line) {
    std::lock_guard<std::mutex> lock(journalMutex());
    journalLines() += line;
    journalLines() += '\n';
}

std::string journalText() {
    std::lock_guard<std::mutex> lock(journalMutex());
    return journalLines();
}

void clearJournal() {
    std::lock_guard<std::mutex> lock(journalMutex());
    journalLines().clear();
}

void countCreated(ObjectKind kind) { ++counterOf(kind); }
void countDestroyed(ObjectKind kind) { --counterOf(kind); }
int liveObjects(ObjectKind kind) { return counterOf(kind).load(); }

void addPendingImages(int delta) { g_pendingImages += delta; }
int pendingImages() { return g_pendingImages.load(); }

} // namespace simscanner
