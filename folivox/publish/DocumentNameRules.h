#pragma once
// The DOCNAME rules of the configuration: each rule's REGEX says which document names it
// applies to, and its other elements say how to read the publishing fields out of them.

#include "publish/ConfigNode.h"

#include <string>

/** The fields a document name supplies; a field the matching rule cannot read keeps its
 *  value. */
struct ParsedNameFields {
  std::string day;
  std::string month;
  std::string miniYear;
  std::string firstPage;
  std::string lastPage;
};

/** Applies the first DOCNAME rule under `root` whose REGEX matches all of `subject`; false
 *  when none does. */
bool ParseNameWithRules(const ConfigNode& root, const std::string& subject,
                        ParsedNameFields& fields);
