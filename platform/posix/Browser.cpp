#include <platform/Browser.h>

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace platform {
namespace {

constexpr int kFirstInheritableDescriptor = 3;

// xdg-open reads a leading '-' as an option, and a NUL would silently cut the URL short.
bool IsAcceptableUrl(const std::string& url) {
  return !url.empty() && url.front() != '-' && url.find('\0') == std::string::npos;
}

// Keeps the browser from inheriting the host's open files and sockets, which would otherwise
// stay open (and locked) for as long as the browser runs.
class SpawnFileActions {
public:
  SpawnFileActions() : fInitialised(posix_spawn_file_actions_init(&fActions) == 0) {
    fReady = fInitialised &&
             posix_spawn_file_actions_addclosefrom_np(&fActions, kFirstInheritableDescriptor) == 0;
  }
  ~SpawnFileActions() {
    if (fInitialised) {
      posix_spawn_file_actions_destroy(&fActions);
    }
  }
  SpawnFileActions(const SpawnFileActions&) = delete;
  SpawnFileActions& operator=(const SpawnFileActions&) = delete;

  bool ready() const { return fReady; }
  const posix_spawn_file_actions_t* get() const { return &fActions; }

private:
  posix_spawn_file_actions_t fActions{};
  bool fInitialised = false;
  bool fReady = false;
};

void WaitFor(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) == -1 && errno == EINTR) {
  }
}

// The browser may run for hours; a detached waiter collects its exit status so it never
// lingers as a zombie, without holding up the caller.
void ReapInBackground(pid_t child) {
  try {
    std::thread(WaitFor, child).detach();
  } catch (const std::system_error&) {
    // No thread to spare: blocking here is better than leaking a zombie.
    WaitFor(child);
  }
}

} // namespace

bool OpenInBrowser(const std::string& url) {
  if (!IsAcceptableUrl(url)) {
    return false;
  }
  const SpawnFileActions fileActions;
  if (!fileActions.ready()) {
    return false;
  }
  std::string program = "xdg-open";
  std::string argument = url;
  char* const arguments[] = {program.data(), argument.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, program.c_str(), fileActions.get(), nullptr, arguments, environ) != 0) {
    return false;
  }
  ReapInBackground(child);
  return true;
}

} // namespace platform
