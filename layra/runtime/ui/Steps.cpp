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
using Error = Automation::Error;

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

bool Split(const std::string& line, Words& words, std::string& error) {
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
      continue;
    }
    if (line[i] == '#' && (i + 1 >= line.size() || line[i + 1] < '0' || line[i + 1] > '9'))
      return true;
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
    if (i >= line.size()) {
      error = "a quoted text is not closed";
      return false;
    }
    ++i;
    words.push_back(word);
  }
  return true;
}

bool Number(const std::string& word, std::int32_t& value) {
  char* end = nullptr;
  const long number = std::strtol(word.c_str(), &end, 0);
  value = static_cast<std::int32_t>(number);
  return !word.empty() && *end == '\0';
}

// "row N in TREE": the row and the tree, or an error.
Error RowStep(const Words& w, std::int32_t& row) {
  if (w.size() != 5 || w[1] != "row" || w[3] != "in" || !Number(w[2], row))
    return "write: " + w[0] + " row N in TREE";
  return {};
}

Error Run(Automation& automation, const Words& w, std::ostream& out) {
  if (std::optional<Error> done = RunDocumentStep(w, out))
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
    std::int32_t row = 0;
    if (Error error = RowStep(w, row); !error.empty())
      return error;
    if (verb == "toggle")
      return automation.ToggleRow(w[4], row);
    if (verb == "double-click")
      return automation.DoubleClickRow(w[4], row);
    return automation.ExpandRow(w[4], row, verb == "expand");
  }
  if (verb == "select" && n >= 5 && w[1] == "rows" && w[n - 2] == "in") {
    std::vector<std::int32_t> rows(n - 4);
    for (std::size_t i = 2; i < n - 2; ++i) {
      if (!Number(w[i], rows[i - 2]))
        return "\"" + w[i] + "\" is no row number";
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
      return "\"" + w[1] + "\" is no action ID";
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
    std::string text;
    Error error = automation.Dump(w[1], text);
    out << text;
    return error;
  }
  return "not a step: \"" + verb + "\" with " + std::to_string(n - 1) + " word(s); " + kSyntax +
         kDocumentStepsSyntax;
}

} // namespace

bool RunSteps(std::istream& steps, const std::string& fileName, std::ostream& out,
              std::string& error) {
  Automation automation;
  std::string line;
  for (int number = 1; std::getline(steps, line); ++number) {
    Words words;
    std::string problem;
    if (Split(line, words, problem) && !words.empty())
      problem = Run(automation, words, out);
    if (!problem.empty()) {
      error = fileName + ":" + std::to_string(number) + ": " + problem;
      return false;
    }
  }
  return true;
}

} // namespace layra
