#include "CommandLine.h"

#include <charconv>

namespace layra {

const char* const kUsage =
    "usage: layra [--home DIR] [--plugins DIR] [--locale CODE]\n"
    "             [--answer first|second|third] [--do ACTION-ID ...] [--help]\n"
    "Starts the host with the plug-ins of DIR, performs each action in order, shuts down.\n";

namespace {

bool ParseNumber(const std::string& text, std::uint32_t& value) {
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  const char* begin = text.data() + (hex ? 2 : 0);
  const char* end = text.data() + text.size();
  auto [stop, status] = std::from_chars(begin, end, value, hex ? 16 : 10);
  return begin != end && status == std::errc() && stop == end;
}

bool ParseAnswer(const std::string& text, AlertAnswer& answer) {
  if (text == "first")
    answer = AlertAnswer::First;
  else if (text == "second")
    answer = AlertAnswer::Second;
  else if (text == "third")
    answer = AlertAnswer::Third;
  else
    return false;
  return true;
}

} // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--help") {
      line.help = true;
      continue;
    }
    if (i + 1 >= arguments.size()) {
      error = option.starts_with("--") ? option + " needs a value" : "unexpected " + option;
      return false;
    }
    const std::string& value = arguments[++i];
    std::uint32_t number = 0;
    if (option == "--home") {
      line.home = value;
    } else if (option == "--plugins") {
      line.plugins = value;
    } else if (option == "--locale" && ParseNumber(value, number)) {
      line.locale = static_cast<int>(number);
    } else if (option == "--answer" && ParseAnswer(value, line.answer)) {
    } else if (option == "--do" && ParseNumber(value, number)) {
      line.actions.push_back(ActionID{number});
      while (i + 1 < arguments.size() && !arguments[i + 1].starts_with("--") &&
             ParseNumber(arguments[i + 1], number)) {
        line.actions.push_back(ActionID{number});
        ++i;
      }
    } else {
      error = "bad value '" + value + "' for " + option;
      return false;
    }
  }
  return true;
}

} // namespace layra
