#include "base/Trace.h"

#include <cstdarg>
#include <cstdio>

namespace folivox {

void Trace(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
}

} // namespace folivox
