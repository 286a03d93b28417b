// What the simulated backend remembers for tests: the live objects and a journal of the
// state-changing calls that the data source made.
#pragma once

#include <string>

namespace simscanner {

void journal(const std::string& line);
// The journal, one line per call, each ending in a newline.
std::string journalText();
void clearJournal();

enum class ObjectKind { Scanner, Image };
void countCreated(ObjectKind kind);
void countDestroyed(ObjectKind kind);
int liveObjects(ObjectKind kind);

// The scanner objects report the pages scanned and not taken, summed over every live scanner.
void addPendingImages(int delta);
int pendingImages();

} // namespace simscanner
