#include "CommandLine.h"

#include "ExitStatus.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace layra {

namespace {

const char* const kSynopsis =
    "usage: layra [--home DIR] [--plugins DIR] [--locale CODE]\n"
    "             [--answer first|second|third] [--do ACTION-ID ...] [--steps FILE]\n"
    "             [--save] [--gui [--screenshot [PALETTE=|dialog=]FILE ...]]\n"
    "             [DOCUMENT ...]\n"
    "       layra --history [N] | --resend | --discard-pending | --check-connection\n"
    "       layra new FILE [--pages N] [--size WxH] [--force]\n"
    "       layra -h | --help | --version\n"
    "Starts the host with the plug-ins of DIR, opens each document (the last one opened is\n"
    "in front), performs each action in order, acts on the panels and dialogs as the steps\n"
    "FILE says, saves the documents with --save, closes them and shuts down. layra new writes\n"
    "a blank document; it replaces an existing FILE only with --force.\n"
    "With --gui it shows the documents and the palettes in a window until it is closed, or,\n"
    "with --screenshot, writes PNGs of the window, of a palette or of the dialog in front and\n"
    "quits.\n"
    "--history prints the last N (20) records the plug-ins keep of what they did.\n"
    "--resend uploads what earlier sends left unsent; --discard-pending asks, then deletes\n"
    "it; --check-connection checks the configuration address and the server it names, one\n"
    "line a step.\n";

const char* const kEnvironment =
    "Environment:\n"
    "  XDG_CONFIG_HOME  holds the workspace in layra/ when no --home is given (default\n"
    "                   ~/.config); HOME is the user's folder\n"
    "  XDG_DATA_HOME    where plug-ins keep their files (default ~/.local/share)\n"
    "  XDG_CACHE_HOME   where decoded pictures are kept between runs, in layra/pictures\n"
    "                   (default ~/.cache)\n"
    "  http_proxy, no_proxy\n"
    "                   the proxy for plug-ins' web requests and the hosts reached\n"
    "                   without it (also HTTP_PROXY, NO_PROXY)\n"
    "  USER             the user's name when the account has none\n"
    "  PLATFORM_NETWORK online or offline: whether the machine counts as connected, in\n"
    "                   place of looking at its network interfaces\n"
    "  QT_QPA_PLATFORM  the window system of --gui (offscreen draws with no display)\n";

constexpr int kDefaultHistory = 20;
constexpr std::uint32_t kMaxHistory = 100000;

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

bool IsOption(const std::string& argument) {
  return argument.starts_with("--") || argument == "-h";
}

// The requests that print and exit; a run does one of them.
bool IsCommand(const std::string& option) {
  return option == "--history" || option == "--resend" || option == "--discard-pending" ||
         option == "--check-connection";
}

bool IsFlag(const std::string& option) {
  return option == "--help" || option == "-h" || option == "--version" || option == "--save" ||
         option == "--force" || option == "--gui";
}

bool TakesValue(const std::string& option) {
  static const char* const kOptions[] = {"--home",   "--plugins", "--locale",
                                         "--answer", "--pages",   "--size",
                                         "--do",     "--steps",   "--screenshot"};
  return std::find(std::begin(kOptions), std::end(kOptions), option) != std::end(kOptions);
}

void SetFlag(const std::string& option, CommandLine& line) {
  if (option == "--help" || option == "-h")
    line.help = true;
  else if (option == "--version")
    line.version = true;
  else if (option == "--save")
    line.save = true;
  else if (option == "--gui")
    line.gui = true;
  else
    line.force = true;
}

// An empty name is no name: a folder "" would be the current one, wherever that is.
bool TakesName(const std::string& option) {
  return option == "--home" || option == "--plugins" || option == "--steps" ||
         option == "--screenshot";
}

bool SetValue(const std::string& option, const std::string& value, CommandLine& line) {
  std::uint32_t number = 0;
  if (option == "--home")
    line.home = value;
  else if (option == "--plugins")
    line.plugins = value;
  else if (option == "--steps")
    line.steps = value;
  else if (option == "--screenshot")
    line.screenshots.push_back(value);
  else if (option == "--locale" && ParseNumber(value, number))
    line.locale = static_cast<int>(number);
  else if (option == "--answer")
    return ParseAnswer(value, line.answer);
  else if (option == "--pages" && ParseNumber(value, number) && number > 0 && number < 10000)
    line.pages = static_cast<std::int32_t>(number);
  else if (option == "--size")
    return ParseSize(value, line.width, line.height);
  else if (option == "--do" && ParseNumber(value, number))
    line.actions.push_back(ActionID{number});
  else
    return false;
  return true;
}

// `new` writes one file and starts nothing, so what only a session uses is refused rather
// than silently ignored, and the session's options do not take `new`'s.
std::string Misplaced(const CommandLine& line, const std::vector<std::string>& options) {
  const bool writing = line.newDocument.has_value();
  for (const std::string& option : options) {
    const bool newOnly = option == "--pages" || option == "--size" || option == "--force";
    const bool sessionOnly = option == "--do" || option == "--save" || option == "--answer" ||
                             option == "--steps" || option == "--gui" || option == "--screenshot" ||
                             IsCommand(option);
    if (writing && sessionOnly)
      return "layra new does not take " + option;
    if (!writing && newOnly)
      return option + " is for layra new only";
  }
  if ((line.history || line.request) &&
      (line.gui || !line.actions.empty() || line.steps || line.save || !line.documents.empty()))
    return "--" + line.request.value_or("history") +
           " prints and exits; it takes no documents, actions, steps or window";
  if (!line.screenshots.empty() && !line.gui)
    return "--screenshot needs --gui";
  if (writing && !line.documents.empty())
    return "layra new writes one file and takes no other (" + line.documents.front().string() + ")";
  return {};
}

// One of the commands at arguments[i], and the count after --history, which `i` moves past.
bool TakeCommand(const std::vector<std::string>& arguments, std::size_t& i,
                 std::vector<std::string>& given, CommandLine& line, std::string& error) {
  const std::string& option = arguments[i];
  if (const auto earlier = std::find_if(given.begin(), given.end(), IsCommand);
      earlier != given.end()) {
    error = *earlier == option
                ? option + " is given twice"
                : "two commands at once: " + *earlier + " and " + option + "; give one";
    return false;
  }
  given.push_back(option);
  if (option != "--history") {
    line.request = option.substr(2);
    return true;
  }
  line.history = kDefaultHistory;
  // The count may be left out, so whatever follows that is no option has to be one.
  if (i + 1 >= arguments.size() || IsOption(arguments[i + 1]))
    return true;
  std::uint32_t count = 0;
  if (!ParseNumber(arguments[++i], count) || count == 0) {
    error = "--history takes a count of sends, not " + arguments[i];
    return false;
  }
  line.history = static_cast<int>(std::min<std::uint32_t>(count, kMaxHistory));
  return true;
}

} // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error) {
  std::size_t i = 0;
  if (!arguments.empty() && arguments[0] == "new") {
    if (arguments.size() < 2 || IsOption(arguments[1])) {
      error = "layra new needs a file name";
      return false;
    }
    line.newDocument = arguments[1];
    i = 2;
  }
  std::vector<std::string> given;
  for (; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (!IsOption(option)) {
      line.documents.push_back(option);
      continue;
    }
    if (IsCommand(option)) {
      if (!TakeCommand(arguments, i, given, line, error))
        return false;
      continue;
    }
    given.push_back(option);
    if (IsFlag(option)) {
      SetFlag(option, line);
      continue;
    }
    if (!TakesValue(option)) {
      error = "unknown option " + option;
      return false;
    }
    if (i + 1 >= arguments.size()) {
      error = option + " needs a value";
      return false;
    }
    if (TakesName(option) && arguments[i + 1].empty()) {
      error = option + " needs a name; it was given an empty one";
      return false;
    }
    if (!SetValue(option, arguments[++i], line)) {
      error = "bad value '" + arguments[i] + "' for " + option;
      return false;
    }
    // --do takes a list: the action IDs that follow it.
    std::uint32_t number = 0;
    while (option == "--do" && i + 1 < arguments.size() && ParseNumber(arguments[i + 1], number)) {
      line.actions.push_back(ActionID{number});
      ++i;
    }
  }
  error = Misplaced(line, given);
  return error.empty();
}

std::string Usage() {
  std::string usage = std::string(kSynopsis) + "\nExit status:\n";
  for (const auto& [status, meaning] : kExitStatusMeanings)
    usage += "  " + std::to_string(status) + "  " + meaning + "\n";
  return usage + "\n" + kEnvironment;
}

const char* const kVersion = "layra 6.0\n";

} // namespace layra
