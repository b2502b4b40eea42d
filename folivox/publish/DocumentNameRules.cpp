#include "publish/DocumentNameRules.h"

#include "base/Trace.h"
#include "publish/ConfigTree.h"
#include "publish/RegexArgument.h"

#include <vector>

namespace {

constexpr int kFieldGroup = 1;

WideString Tag(const char16_t* name) {
  return WideString(std::u16string(name));
}

bool RuleMatches(const ConfigNode& rule, const std::string& subject) {
  const ConfigNode* regex = FindChild(rule, Tag(u"REGEX"));
  return regex != nullptr && RegexMatchesWhole(subject, regex->text.ToUTF8());
}

void ExtractField(const ConfigNode& element, const std::string& subject, std::string& field) {
  GetRegexArgument(subject, element.text.ToUTF8(), kFieldGroup, field);
}

// Returns false when the rule has no such element, leaving `field` as it was.
bool ExtractOptionalField(const ConfigNode& rule, const char16_t* tag, const std::string& subject,
                          std::string& field) {
  const ConfigNode* element = FindChild(rule, Tag(tag));
  if (element == nullptr) {
    return false;
  }
  ExtractField(*element, subject, field);
  return true;
}

// The first PAGE gives the first page and a second one the last; XPAGE, when there is one,
// has the final say on the last page.
void ExtractPages(const ConfigNode& rule, const std::string& subject, ParsedNameFields& fields) {
  const std::vector<ConfigNode> pages = FindChildren(rule, Tag(u"PAGE"));
  if (!pages.empty()) {
    ExtractField(pages[0], subject, fields.firstPage);
  }
  if (pages.size() > 1) {
    ExtractField(pages[1], subject, fields.lastPage);
  }
  ExtractOptionalField(rule, u"XPAGE", subject, fields.lastPage);
}

// Publishing has no use for these values; they are still read so that a broken pattern
// shows up in the trace.
void ExtractUnusedFields(const ConfigNode& rule, const std::string& subject) {
  std::string calendarWeek;
  ExtractOptionalField(rule, u"CALWEEK", subject, calendarWeek);
  std::string object;
  if (ExtractOptionalField(rule, u"OBJECT", subject, object)) {
    folivox::Trace("object = [%s]\n", object.c_str());
  }
  std::string info;
  ExtractOptionalField(rule, u"INFO", subject, info);
}

void ExtractFields(const ConfigNode& rule, const std::string& subject, ParsedNameFields& fields) {
  ExtractOptionalField(rule, u"DAY", subject, fields.day);
  ExtractOptionalField(rule, u"MONTH", subject, fields.month);
  ExtractOptionalField(rule, u"MINIYEAR", subject, fields.miniYear);
  ExtractPages(rule, subject, fields);
  ExtractUnusedFields(rule, subject);
}

} // namespace

bool ParseNameWithRules(const ConfigNode& root, const std::string& subject,
                        ParsedNameFields& fields) {
  for (const ConfigNode& rule : FindChildren(root, Tag(u"DOCNAME"))) {
    if (RuleMatches(rule, subject)) {
      ExtractFields(rule, subject, fields);
      return true;
    }
  }
  return false;
}
