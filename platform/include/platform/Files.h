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

// Adds `text` at the end of a private file (0600, made when missing) and waits until it is on
// the disk: a crash at any moment leaves what was there before intact. False on failure.
bool AppendDurably(const std::string& path, const std::string& text);

// Replaces a private file (0600) with `text` as one step: a temporary file beside it, written
// and synced, renamed over it, the folder synced. A crash leaves the old or the new file.
bool ReplaceDurably(const std::string& path, const std::string& text);

} // namespace platform
