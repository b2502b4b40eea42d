#pragma once

#include <dlfcn.h>
#include <string>

// For test plug-ins: the file of the plug-in that includes this, which also holds its
// resources. The function has internal linkage, so its address lies in the including plug-in
// and not in another module's copy.
namespace {
std::string PluginFile() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<const void*>(&PluginFile), &info) == 0 || !info.dli_fname)
    return {};
  return info.dli_fname;
}
} // namespace
