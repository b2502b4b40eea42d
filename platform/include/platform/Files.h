#pragma once

#include <string>

namespace platform {

// The per-user folder where the plug-in keeps its own files. It is created (private to the
// user) when missing, so callers can write into it straight away. Returns "" when the
// environment names no usable location or it cannot be created; never ends in a slash.
std::string ApplicationDataFolder();

// Removes one file. False when it did not exist, could not be removed, or the path is not a
// valid file name.
bool DeleteFile(const std::string& path);

} // namespace platform
