// The preview runs the system's Qt WebEngine, a prebuilt Chromium that the
// sanitizers were never built into. Under AddressSanitizer it shows two
// faults of its own that this program cannot mend: it frees some of its
// objects through a pointer of a smaller type (new-delete-type-mismatch when
// a page goes), and it leaves allocations of its own, of fontconfig's and of
// libudev's behind at exit. Leaks are suppressed where those libraries made
// the allocation; the type-mismatch check cannot be narrowed to a library, so it is
// off for this test program (the other test programs keep it).

#if defined(__SANITIZE_ADDRESS__)

extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libQt6WebEngineCore.so\n"
         "leak:libfontconfig.so\n"
         "leak:libudev.so\n";
}

#endif
