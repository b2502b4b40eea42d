// Feeds document names and configuration patterns to the name parsing. The first byte picks
// the capture group; the rest is split at line feeds into the name and then the patterns of a
// DOCNAME rule (REGEX, DAY, PAGE, PAGE, XPAGE).

#include "publish/DocumentNameRules.h"
#include "publish/RegexArgument.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kPatternCount = 5;
// Boost bounds matching work by the square of the subject length; longer inputs only slow
// the search down without reaching new code.
constexpr std::size_t kLargestInput = 1024;

std::vector<std::string> SplitLines(std::string_view input) {
  std::vector<std::string> lines;
  while (lines.size() <= kPatternCount) {
    const std::size_t end = input.find('\n');
    lines.emplace_back(input.substr(0, end));
    if (end == std::string_view::npos) {
      break;
    }
    input.remove_prefix(end + 1);
  }
  lines.resize(kPatternCount + 1);
  return lines;
}

ConfigNode Element(const char* name, const std::string& text) {
  ConfigNode node;
  node.name = WideString(name);
  node.text = WideString(text);
  return node;
}

ConfigNode RuleFrom(const std::vector<std::string>& lines) {
  ConfigNode rule;
  rule.name = WideString("DOCNAME");
  rule.children = {Element("REGEX", lines[1]), Element("DAY", lines[2]),
                   Element("PAGE", lines[3]),  Element("PAGE", lines[4]),
                   Element("XPAGE", lines[5]), Element("OBJECT", lines[2])};
  return rule;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Every failed pattern prints a line; at fuzzing speed that would drown libFuzzer's own
  // report, which goes to standard error.
  std::freopen("/dev/null", "w", stdout);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > kLargestInput) {
    return -1;
  }
  const int group = data[0] % 4 - 1;
  const std::vector<std::string> lines =
      SplitLines(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  const std::string& subject = lines[0];

  for (std::size_t index = 1; index < lines.size(); ++index) {
    std::string out;
    GetRegexArgument(subject, lines[index], group, out);
  }

  ConfigNode root;
  root.name = WideString("CONFIG");
  root.children = {RuleFrom(lines), Element("DOCNAME", ""), RuleFrom(lines)};
  root.children.back().children.front().text = WideString(".*");
  ParsedNameFields fields;
  ParseNameWithRules(root, subject, fields);
  return 0;
}
