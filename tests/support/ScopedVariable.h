#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace folivox::test {

// Sets (or, given nullptr, removes) one environment variable for the life of the object and
// puts back whatever was there before.
class ScopedVariable {
public:
  ScopedVariable(const char* name, const char* value) : fName(name) {
    if (const char* previous = std::getenv(name)) {
      fPrevious = previous;
    }
    Apply(value);
  }
  ~ScopedVariable() { Apply(fPrevious ? fPrevious->c_str() : nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
  void Apply(const char* value) {
    if (value != nullptr) {
      setenv(fName.c_str(), value, 1);
    } else {
      unsetenv(fName.c_str());
    }
  }

  std::string fName;
  std::optional<std::string> fPrevious;
};

} // namespace folivox::test
