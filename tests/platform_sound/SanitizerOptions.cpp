// Sanitizer settings of the sound tests, read by the sanitizer runtimes at start
// (unused in builds without sanitizers).
//
// GLib allocates a buffer in its library constructor that it never frees; the
// constructor's frame is only seen with full unwinding on allocation.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
extern "C" const char* __lsan_default_suppressions() { return "leak:_dl_init\n"; }
