#pragma once
// The plug-in's diagnostic lines go to standard output, formatted as by printf, so that a
// user running the host from a terminal sees why something did not happen.

namespace folivox {

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace folivox
