// The steps file of the layra program: one step a line, words and "quoted texts", "#" at
// the start of a word begins a comment unless it names a widget ("#0x12250c").

#include <layra/host/Automation.h>

#include "../selection/DocumentSteps.h"

#include <cstdlib>
#include <istream>
#include <map>
#include <ostream>

namespace layra {
namespace {

using Words = std::vector<std::string>;

const char* const kSyntax = R"(steps, one a line:
  show PALETTE | hide PALETTE
  press WIDGET | check WIDGET | uncheck WIDGET
  toggle row N in TREE | select rows N... in TREE | double-click row N in TREE
  expand row N in TREE | collapse row N in TREE
  type "TEXT" into WIDGET | choose "ENTRY" in COMBO
  menu PALETTE|MENU "ENTRY" | action ID | preferences #PAGE-ID
  confirm | cancel | folder "PATH" | folder cancel
  dump PALETTE | dump dialog
WIDGET is #ID or the "text" it shows; rows count from 1)";

Result<Words> Split(const std::string& line) {
  Words words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
      continue;
    }
    if (line[i] == '#' && (i + 1 >= line.size() || line[i + 1] < '0' || line[i + 1] > '9'))
      return words;
    std::string word;
    if (line[i] != '"') {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
        word += line[i++];
      words.push_back(word);
      continue;
    }
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\' && i + 1 < line.size())
        ++i;
      word += line[i];
    }
    if (i >= line.size())
      return Failure{"a quoted text is not closed"};
    ++i;
    words.push_back(word);
  }
  return words;
}

bool Number(const std::string& word, std::int32_t& value) {
  char* end = nullptr;
  const long number = std::strtol(word.c_str(), &end, 0);
  value = static_cast<std::int32_t>(number);
  return !word.empty() && *end == '\0';
}

// "row N in TREE": the row.
Result<std::int32_t> RowStep(const Words& w) {
  std::int32_t row = 0;
  if (w.size() != 5 || w[1] != "row" || w[3] != "in" || !Number(w[2], row))
    return Failure{"write: " + w[0] + " row N in TREE"};
  return row;
}

Result<void> Run(Automation& automation, const Words& w, std::ostream& out) {
  if (std::optional<Result<void>> done = RunDocumentStep(w, out))
    return *done;
  const std::string& verb = w[0];
  const std::size_t n = w.size();
  if ((verb == "show" || verb == "hide") && n == 2)
    return verb == "show" ? automation.ShowPalette(w[1]) : automation.HidePalette(w[1]);
  if (verb == "press" && n == 2)
    return automation.Press(w[1]);
  if ((verb == "check" || verb == "uncheck") && n == 2)
    return automation.SetChecked(w[1], verb == "check");
  if (verb == "toggle" || verb == "expand" || verb == "collapse" || verb == "double-click") {
    const Result<std::int32_t> row = RowStep(w);
    if (!row)
      return Failure{row.error()};
    if (verb == "toggle")
      return automation.ToggleRow(w[4], row.value());
    if (verb == "double-click")
      return automation.DoubleClickRow(w[4], row.value());
    return automation.ExpandRow(w[4], row.value(), verb == "expand");
  }
  if (verb == "select" && n >= 5 && w[1] == "rows" && w[n - 2] == "in") {
    std::vector<std::int32_t> rows(n - 4);
    for (std::size_t i = 2; i < n - 2; ++i) {
      if (!Number(w[i], rows[i - 2]))
        return Failure{"\"" + w[i] + "\" is no row number"};
    }
    return automation.SelectRows(w[n - 1], rows);
  }
  if (verb == "type" && n == 4 && w[2] == "into")
    return automation.Type(w[3], w[1]);
  if (verb == "choose" && n == 4 && w[2] == "in")
    return automation.Choose(w[3], w[1]);
  if (verb == "menu" && n == 3)
    return automation.ChooseMenu(w[1], w[2]);
  if (verb == "action" && n == 2) {
    std::int32_t id = 0;
    if (!Number(w[1], id))
      return Failure{"\"" + w[1] + "\" is no action ID"};
    return automation.PerformAction(ActionID{static_cast<std::uint32_t>(id)});
  }
  if (verb == "preferences" && n == 2)
    return automation.OpenPreferences(w[1]);
  if (verb == "confirm" && n == 1)
    return automation.Confirm();
  if (verb == "cancel" && n == 1)
    return automation.Cancel();
  if (verb == "folder" && n == 2) {
    automation.AnswerFolderChooser(w[1] == "cancel" ? std::nullopt
                                                    : std::optional<std::filesystem::path>(w[1]));
    return {};
  }
  if (verb == "dump" && n == 2) {
    const Result<std::string> text = automation.Dump(w[1]);
    if (!text)
      return Failure{text.error()};
    out << text.value();
    return {};
  }
  return Failure{"not a step: \"" + verb + "\" with " + std::to_string(n - 1) + " word(s); " +
                 kSyntax + kDocumentStepsSyntax};
}

Result<void> RunLine(Automation& automation, const std::string& line, std::ostream& out) {
  const Result<Words> words = Split(line);
  if (!words)
    return Failure{words.error()};
  if (words.value().empty())
    return {};
  return Run(automation, words.value(), out);
}

} // namespace

Result<void> RunSteps(std::istream& steps, const std::string& fileName, std::ostream& out) {
  Automation automation;
  std::string line;
  for (int number = 1; std::getline(steps, line); ++number) {
    if (const Result<void> done = RunLine(automation, line, out); !done)
      return Failure{fileName + ":" + std::to_string(number) + ": " + done.error()};
  }
  return {};
}

} // namespace layra
