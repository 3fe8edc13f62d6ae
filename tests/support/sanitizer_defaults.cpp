// AddressSanitizer's defaults for the test programs, which load the
// simulated iOS on GNUstep; the sanitizer's runtime asks for them at
// start-up (nothing calls this in a build without it), and ASAN_OPTIONS
// still overrides them. Leak detection is off: GCC's Objective-C runtime and
// GNUstep's Foundation keep memory where LeakSanitizer cannot see it (class
// tables, Foundation's caches), and as every Objective-C object is
// allocated inside Foundation, a leak of ours cannot be told from one of
// theirs. Memory errors are still reported.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
