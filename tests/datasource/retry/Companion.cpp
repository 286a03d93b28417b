// A companion library of the retry backend: it is found only through a relative run path, that is,
// from the current directory.
extern "C" __attribute__((visibility("default"))) int companionStatus() { return 0x10D; }
