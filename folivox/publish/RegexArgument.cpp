#include "publish/RegexArgument.h"

#include "base/Trace.h"

#include <boost/regex.hpp>

#include <exception>

namespace {

void TraceRegexException(const std::string& pattern, const std::string& subject,
                         const std::exception& error) {
  folivox::Trace("Exception has occured for regex \"%s\" in string \"%s\". Reason: %s\n",
                 pattern.c_str(), subject.c_str(), error.what());
}

// Boost throws when a pattern does not compile and when matching exceeds its complexity or
// memory bounds, so every call below may throw.
bool MatchAll(const std::string& subject, const std::string& pattern, boost::smatch& results,
              boost::match_flag_type flags) {
  const boost::regex expression(pattern);
  return boost::regex_match(subject, results, expression, flags);
}

// A name often carries more after the fields a pattern describes, so a pattern that only
// covers the start of the subject is retried with the rest allowed. `tried` ends up as the
// last pattern attempted.
bool MatchAllOrStart(const std::string& subject, const std::string& pattern, boost::smatch& results,
                     std::string& tried) {
  tried = pattern;
  if (MatchAll(subject, pattern, results, boost::match_any)) {
    return true;
  }
  tried = pattern + ".*";
  return MatchAll(subject, tried, results, boost::match_partial);
}

} // namespace

int GetRegexArgument(std::string subject, std::string pattern, int group, std::string& out) {
  boost::smatch results;
  std::string tried = pattern;
  bool matched = false;
  try {
    matched = MatchAllOrStart(subject, pattern, results, tried);
  } catch (const std::exception& error) {
    TraceRegexException(pattern, subject, error);
  }
  if (matched && group >= 0 && static_cast<std::size_t>(group) < results.size()) {
    out = results[group].str();
    return 0;
  }
  folivox::Trace("Could not get argument no %d from string \"%s\" (regex = '%s').\n", group,
                 subject.c_str(), tried.c_str());
  return 1;
}

bool RegexMatchesWhole(const std::string& subject, const std::string& pattern) {
  try {
    boost::smatch results;
    return MatchAll(subject, pattern, results, boost::match_default);
  } catch (const std::exception& error) {
    TraceRegexException(pattern, subject, error);
    return false;
  }
}
