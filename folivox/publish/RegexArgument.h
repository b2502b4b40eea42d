#pragma once
// Pulls fields out of document names with Perl-syntax regular expressions that come from
// the configuration. Patterns are data written by administrators, so a pattern that does
// not compile or takes too long to run is reported and treated as not matching.

#include <string>

/** Puts capture `group` of `pattern` in `out` and returns 0; returns 1 and leaves `out` alone
 *  when it cannot. The pattern must match all of `subject` or, failing that, its start. */
int GetRegexArgument(std::string subject, std::string pattern, int group, std::string& out);

/** True when `pattern` matches all of `subject`. */
bool RegexMatchesWhole(const std::string& subject, const std::string& pattern);
