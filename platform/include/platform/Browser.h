#pragma once

#include <string>

namespace platform {

// Hands the URL to the desktop's default browser and returns at once; the URL is passed as
// a single argument, never through a shell. False when the URL is empty, could be taken for
// an option, or the opener could not be started.
bool OpenInBrowser(const std::string& url);

} // namespace platform
