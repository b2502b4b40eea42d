#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace folivox::test {

// Sets (or, given nullptr, removes) one environment variable for the life of the object and
// puts back whatever was there before.
class ScopedVariable {
public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* previous = std::getenv(name)) {
      previous_ = previous;
    }
    Apply(value);
  }
  ~ScopedVariable() { Apply(previous_ ? previous_->c_str() : nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
  void Apply(const char* value) {
    if (value != nullptr) {
      setenv(name_.c_str(), value, 1);
    } else {
      unsetenv(name_.c_str());
    }
  }

  std::string name_;
  std::optional<std::string> previous_;
};

} // namespace folivox::test
