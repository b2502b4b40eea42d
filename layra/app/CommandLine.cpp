#include "CommandLine.h"

#include <charconv>

namespace layra {

const char* const kUsage =
    "usage: layra [--home DIR] [--plugins DIR] [--locale CODE]\n"
    "             [--answer first|second|third] [--do ACTION-ID ...] [--steps FILE]\n"
    "             [--save] [--gui [--screenshot [PALETTE=]FILE ...]] [DOCUMENT ...]\n"
    "       layra new FILE --pages N [--size WxH]\n"
    "Starts the host with the plug-ins of DIR, opens each document (the last one opened is\n"
    "in front), performs each action in order, acts on the panels and dialogs as the steps\n"
    "FILE says, saves the documents with --save, closes them and shuts down.\n"
    "With --gui it shows the documents and the palettes in a window until it is closed, or,\n"
    "with --screenshot, writes PNGs of the window or of a palette and quits.\n";

namespace {

bool ParseNumber(const std::string& text, std::uint32_t& value) {
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  const char* begin = text.data() + (hex ? 2 : 0);
  const char* end = text.data() + text.size();
  auto [stop, status] = std::from_chars(begin, end, value, hex ? 16 : 10);
  return begin != end && status == std::errc() && stop == end;
}

bool ParseSize(const std::string& text, double& width, double& height) {
  const auto x = text.find('x');
  if (x == std::string::npos)
    return false;
  auto parse = [](std::string_view part, double& value) {
    auto [end, status] = std::from_chars(part.data(), part.data() + part.size(), value);
    return status == std::errc() && end == part.data() + part.size() && value > 0 && value < 15000;
  };
  return parse(std::string_view(text).substr(0, x), width) &&
         parse(std::string_view(text).substr(x + 1), height);
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
  std::size_t i = 0;
  if (!arguments.empty() && arguments[0] == "new") {
    if (arguments.size() < 2 || arguments[1].starts_with("--")) {
      error = "new needs a file name";
      return false;
    }
    line.newDocument = arguments[1];
    i = 2;
  }
  for (; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--help" || option == "--save" || option == "--gui") {
      (option == "--help" ? line.help : option == "--save" ? line.save : line.gui) = true;
      continue;
    }
    if (!option.starts_with("--")) {
      line.documents.push_back(option);
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
    } else if (option == "--steps") {
      line.steps = value;
    } else if (option == "--screenshot") {
      line.screenshots.push_back(value);
    } else if (option == "--plugins") {
      line.plugins = value;
    } else if (option == "--locale" && ParseNumber(value, number)) {
      line.locale = static_cast<int>(number);
    } else if (option == "--answer" && ParseAnswer(value, line.answer)) {
    } else if (option == "--pages" && ParseNumber(value, number) && number > 0 && number < 10000) {
      line.pages = static_cast<std::int32_t>(number);
    } else if (option == "--size" && ParseSize(value, line.width, line.height)) {
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
  if (!line.screenshots.empty() && !line.gui) {
    error = "--screenshot needs --gui";
    return false;
  }
  return true;
}

} // namespace layra
