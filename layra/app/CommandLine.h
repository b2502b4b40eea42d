#pragma once

#include <layra/IDs.h>
#include <layra/host/Alerts.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace layra {

struct CommandLine {
  std::optional<std::filesystem::path> home;
  std::optional<std::filesystem::path> plugins;
  int locale = 1;
  AlertAnswer answer = AlertAnswer::Interactive;
  std::vector<ActionID> actions;
  std::vector<std::filesystem::path> documents;
  /** A file of user steps (see layra/host/Automation.h), run after the actions. */
  std::optional<std::filesystem::path> steps;
  bool save = false;
  /** Shows the host's window (the layra-gui program). */
  bool gui = false;
  /** PNGs to write once the steps ran, then quit: "FILE" of the window, "PALETTE=FILE" of a
   *  palette, "dialog=FILE" of the dialog in front. Needs the window. */
  std::vector<std::string> screenshots;
  bool help = false;
  bool version = false;
  /** `--history [N]`: prints the last N records of the plug-ins' histories and exits. */
  std::optional<int> history;
  /** `--resend`, `--check-connection`: the plug-ins' script request of that name ("resend",
   *  "check-connection"); prints its answer and exits. */
  std::optional<std::string> request;
  /** `layra new FILE [--pages N] [--size WxH] [--force]`: writes a blank document and exits;
   *  an existing FILE is replaced only with `--force`. */
  std::optional<std::filesystem::path> newDocument;
  bool force = false;
  std::int32_t pages = 1;
  double width = 612;
  double height = 792;
};

/** Parses the arguments after the program name; false with a one-line reason otherwise. */
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error);
/** The usage, with the exit statuses and the environment variables the programs read. */
std::string Usage();
extern const char* const kVersion;

} // namespace layra
