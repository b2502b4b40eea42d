#include "net/UpdateCheck.h"

#include "base/MachineIdentity.h"
#include "base/Trace.h"
#include "net/UpdateAnswer.h"
#include "net/UpdateQuery.h"

#include <curl/curl.h>
#include <omnithread.h>

#include <cctype>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

char gUpdateUrl[512] = {};
std::atomic<unsigned char> gUpdateUrlReady{0};

namespace {

constexpr const char* kAppName = "Folivox";
constexpr const char* kDomain = "LayraWin";
constexpr const char* kVersionText = "1.0.2";
constexpr const char* kBuildText = "10308";

// A pre-release build carries a letter after its number; the server knows only the number.
std::string ReleaseBuildText() {
  std::string build = kBuildText;
  if (!build.empty() && std::isalpha(static_cast<unsigned char>(build.back())) != 0) {
    build.pop_back();
  }
  return build;
}

// Whether the worker runs, and whether it was told to stop. Never destroyed: a worker that
// does not stop within the shut-down's wait may still reach it while the process ends.
struct WorkerState {
  std::mutex mutex;
  std::condition_variable finished;
  bool running = false;
  std::atomic<bool> stop{false};
};

WorkerState& Worker() {
  static auto* state = new WorkerState();
  return *state;
}

void Pause() {
  omni_thread::yield();
}

// An address cut short would lead somewhere else, so one that does not fit is not offered.
void Publish(const std::string& address) {
  if (address.size() >= sizeof gUpdateUrl)
    return;
  std::memcpy(gUpdateUrl, address.c_str(), address.size() + 1);
  gUpdateUrlReady.store(1, std::memory_order_release);
}

void ReadAnswer(const char* answer) {
  if (IsNoRecordsAnswer(answer)) {
    folivox::Trace("Brak rekordow.\n");
    return;
  }
  if (const std::optional<std::string> address = FindUpdateAddress(answer, &Pause)) {
    Publish(*address);
  }
}

} // namespace

void RunUpdateCheck(const UpdateServer& server, const std::atomic<bool>& stop) {
  const std::string build = ReleaseBuildText();
  const std::string user = GetLoginUserName().GetUTF8String();
  std::vector<char> answer(kUpdateResponseCapacity);
  QueryUpdateServer(kAppName, user.c_str(), kDomain, answer.data(), kVersionText, build.c_str(),
                    server, &stop);
  Pause();
  Pause();
  std::string text(answer.data());
  // An answer that filled the buffer was cut short: its last record may be incomplete, so
  // only records that ended before the cut count.
  if (text.size() == kUpdateResponseCapacity - 1) {
    const std::size_t lastEnd = text.find_last_of("\r\n");
    text.erase(lastEnd == std::string::npos ? 0 : lastEnd + 1);
  }
  ReadAnswer(text.c_str());
  folivox::Trace("Thread done.\n");
}

void UpdateCheckThread(void*) {
  WorkerState& worker = Worker();
  RunUpdateCheck(BuiltInUpdateServer(), worker.stop);
  const std::lock_guard lock(worker.mutex);
  worker.running = false;
  worker.finished.notify_all();
}

void StartUpdateCheck() {
  // An older libcurl's first-use initialisation is not safe on a second thread, nor while the
  // process ends: it is done here, before the worker exists. One that initialises safely from
  // any thread is left to do it when the worker first needs it, if ever: it loads and sets up
  // the TLS library, which a start without a network never uses.
  if ((curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_THREADSAFE) == 0)
    curl_global_init(CURL_GLOBAL_DEFAULT);
  {
    const std::lock_guard lock(Worker().mutex);
    Worker().running = true;
    Worker().stop.store(false);
  }
  omni_thread::create(&UpdateCheckThread, nullptr, omni_thread::PRIORITY_LOW);
}

bool StopUpdateCheck(std::chrono::milliseconds limit) {
  WorkerState& worker = Worker();
  worker.stop.store(true);
  std::unique_lock lock(worker.mutex);
  return worker.finished.wait_for(lock, limit, [&] { return !worker.running; });
}
