// Linked into every sanitized program. fontconfig keeps parts of its configuration (the parsed
// config files and the font cache it builds from them) for the life of the process and never
// frees them: LeakSanitizer reports those at exit. That leak belongs to fontconfig's own loading
// and is suppressed; every other leak is still reported.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
