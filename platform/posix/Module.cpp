#include <platform/CHandles.h>
#include <platform/Module.h>

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <memory>
#include <unistd.h>

namespace platform {
namespace {

// The kernel's own record of the executable: already absolute with links resolved, and
// unlike the loader's argv[0] it does not depend on how or from where the host was started.
std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
    return {};
  }
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string CanonicalPath(const char* path) {
  const CHandle<char, std::free> resolved(realpath(path, nullptr));
  if (!resolved) {
    return {};
  }
  return resolved.get();
}

} // namespace

std::string ModuleFileName(const void* addressInModule) {
  Dl_info info{};
  link_map* module = nullptr;
  if (dladdr1(addressInModule, &info, reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) == 0 ||
      module == nullptr || module->l_name == nullptr) {
    return {};
  }
  // The loader leaves the main program's name empty.
  if (module->l_name[0] == '\0') {
    return ExecutablePath();
  }
  return CanonicalPath(module->l_name);
}

} // namespace platform
