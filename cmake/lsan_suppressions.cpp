// Linked into every sanitized program. Two libraries below us keep memory for the life of the
// process and never free it, which LeakSanitizer reports at exit: fontconfig its parsed
// configuration and font cache, and D-Bus (which SDL's video start-up opens on a desktop) its
// connection buffers. Those two are suppressed; every other leak is still reported.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libdbus-1.so\n";
}
