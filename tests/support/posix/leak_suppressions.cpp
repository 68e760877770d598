// Under the leak checker (TAVRIN_SANITIZE builds): fontconfig keeps the
// system's font lists for the life of the process once text has been drawn,
// and frees them only when the process ends.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
