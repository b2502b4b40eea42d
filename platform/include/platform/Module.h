#pragma once

#include <string>

namespace platform {

// Absolute path of the executable or shared library whose code or data holds the address,
// so the plug-in can find files installed next to itself. "" when no loaded module holds it.
std::string ModuleFileName(const void* addressInModule);

} // namespace platform
