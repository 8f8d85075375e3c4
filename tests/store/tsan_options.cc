// Under ThreadSanitizer the store tests read the project's suppressions of
// uninstrumented libraries (tests/tsan.supp); other builds never call this.
extern "C" const char* __tsan_default_options() { return "suppressions=" QEL2_TSAN_SUPPRESSIONS; }
