// fontconfig keeps the configuration it reads on the first font lookup until the process ends
// (two objects, once per process); see tests/sanitizer-suppressions.txt for why the library is
// named rather than its loader.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

// The font stack is not built for the thread sanitizer: glib and fontconfig lock with raw futexes
// and atomics it cannot see, so their internal accesses look like races. Our own code stays
// checked.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libglib-2.0.so\n"
         "called_from_lib:libgobject-2.0.so\n"
         "called_from_lib:libfontconfig.so\n"
         "called_from_lib:libfreetype.so\n"
         "called_from_lib:libharfbuzz.so\n"
         "called_from_lib:libpango-1.0.so\n"
         "called_from_lib:libpangoft2-1.0.so\n"
         "called_from_lib:libpangocairo-1.0.so\n"
         "called_from_lib:libcairo.so\n"
         "called_from_lib:libpixman-1.so\n";
}
