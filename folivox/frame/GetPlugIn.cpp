// The library's only exported symbol, and the record of where the library
// file is, taken when the library is attached to the process.

#include "frame/PlugIn.h"
#include "net/UpdateCheck.h"

#include <platform/Module.h>

namespace {
__attribute__((constructor)) void OnAttach() {
  RecordResourceFile(platform::ModuleFileName(reinterpret_cast<const void*>(&OnAttach)));
}
} // namespace

extern "C" __attribute__((visibility("default"))) IPlugIn* GetPlugIn() {
  StartUpdateCheck();
  return &ThePlugIn();
}
