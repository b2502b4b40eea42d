#pragma once

#include <string>

namespace layra::graphics {

// Callers that do not care about the reason pass a null error pointer.
inline void SetError(std::string* error, std::string message) {
  if (error != nullptr) {
    *error = std::move(message);
  }
}

} // namespace layra::graphics
