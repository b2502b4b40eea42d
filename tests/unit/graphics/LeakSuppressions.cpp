// fontconfig leaks a few hundred bytes, once per process, while parsing its configuration on
// pango's first font lookup. Without this, every sanitizer run of these tests would fail on it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
