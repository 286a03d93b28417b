// The allocator's counters, exported by the shared platform library so that the testing library
// (linked statically into tests) reads the one allocator that the data source also uses.
#pragma once

#include <cstddef>

extern "C" void tarsin_platform_global_memory_stats(std::size_t* liveHandles, std::size_t* lockedHandles);
