#pragma once
// What a call of the host API that can fail answers: the value it made, or why it could not,
// in one line a person reads; Result<void> is "done, or why not". A failure is never thrown.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace layra {

/** Why something could not be done; a Result of any type can be made from it. */
struct Failure {
  std::string error;
};

namespace detail {
// Asking a failed result for its value is a mistake of the caller, not a failure to report.
[[noreturn]] inline void ValueOfFailedResult(const std::string& error) {
  std::fprintf(stderr, "layra: the value of a failed result was asked for (%s)\n", error.c_str());
  std::abort();
}
} // namespace detail

template <class T> class [[nodiscard]] Result {
public:
  Result(T value) : fValue(std::move(value)) {}
  Result(Failure failure) : fError(std::move(failure.error)) {}

  bool ok() const { return fValue.has_value(); }
  explicit operator bool() const { return ok(); }
  /** The value; only for a result that is ok(). */
  T& value() & {
    Check();
    return *fValue;
  }
  const T& value() const& {
    Check();
    return *fValue;
  }
  T&& value() && {
    Check();
    return std::move(*fValue);
  }
  /** The value, or `fallback` for a result that failed. */
  template <class U> T value_or(U&& fallback) const& {
    return fValue ? *fValue : static_cast<T>(std::forward<U>(fallback));
  }
  /** Why it failed; empty for a result that is ok(). */
  const std::string& error() const { return fError; }

private:
  void Check() const {
    if (!fValue)
      detail::ValueOfFailedResult(fError);
  }

  std::optional<T> fValue;
  std::string fError;
};

template <> class [[nodiscard]] Result<void> {
public:
  Result() = default;
  Result(Failure failure) : fOk(false), fError(std::move(failure.error)) {}

  bool ok() const { return fOk; }
  explicit operator bool() const { return ok(); }
  const std::string& error() const { return fError; }

private:
  bool fOk = true;
  std::string fError;
};

} // namespace layra
