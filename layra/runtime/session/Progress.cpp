#include <layra/TaskProgress.h>
#include <layra/host/Progress.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <sys/ioctl.h>
#include <unistd.h>

namespace layra {
namespace {

constexpr std::int64_t kRedrawEveryMs = 100;
constexpr std::size_t kFallbackColumns = 80;

struct Tasks {
  ProgressPresenter* presenter = nullptr;
  ProgressState state;
  int depth = 0;
  std::vector<ResultRecord> results;
};

Tasks& Current() {
  static Tasks tasks;
  return tasks;
}

// Written by a signal handler, so it lives apart from the rest and is lock-free.
std::atomic<bool> gCancelled{false};
static_assert(std::atomic<bool>::is_always_lock_free);

std::string Shown(PMString text) {
  text.Translate();
  return text.GetUTF8String();
}

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::size_t Columns(std::FILE* out) {
  winsize size{};
  if (::ioctl(::fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
    return size.ws_col;
  return kFallbackColumns;
}

// At most `columns` characters of UTF-8 text, cut between characters.
std::string Fitted(const std::string& text, std::size_t columns) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
      continue;
    if (++characters > columns)
      return text.substr(0, i);
  }
  return text;
}

void OnInterrupt(int) {
  CancelTask();
}

} // namespace

void SetProgressPresenter(ProgressPresenter* presenter) {
  Current().presenter = presenter;
}

void CancelTask() {
  gCancelled.store(true);
}

bool IsTaskRunning() {
  return Current().depth > 0;
}

void PauseProgress() {
  if (Current().presenter && IsTaskRunning())
    Current().presenter->Pause();
}

const std::vector<ResultRecord>& Results() {
  return Current().results;
}

void ClearResults() {
  Current().results.clear();
}

void TerminalProgress::Begin(const ProgressState& state) {
  struct sigaction cancel {};
  cancel.sa_handler = &OnInterrupt;
  cancel.sa_flags = SA_RESETHAND; // a second Ctrl+C ends the program
  sigemptyset(&cancel.sa_mask);
  ::sigaction(SIGINT, &cancel, &fSavedInterrupt);
  fLastDraw = 0;
  fPending = state;
  Draw(state);
}

void TerminalProgress::Update(const ProgressState& state) {
  fPending = state;
  if (NowMs() - fLastDraw >= kRedrawEveryMs || state.done == state.count)
    Draw(state);
}

// A task that waits (on a silent server, say) still shows the last thing it said.
void TerminalProgress::Poll() {
  if (fPending.text != fShown && NowMs() - fLastDraw >= kRedrawEveryMs)
    Draw(fPending);
}

void TerminalProgress::End() {
  Erase();
  ::sigaction(SIGINT, &fSavedInterrupt, nullptr);
}

void TerminalProgress::Result(const ResultRecord& result) {
  Erase();
  std::fprintf(fOut, "%s\n", result.line.c_str());
  std::fflush(fOut);
}

void TerminalProgress::Draw(const ProgressState& state) {
  if (!fDraw)
    return;
  fLastDraw = NowMs();
  fShown = state.text;
  std::string line = state.title;
  if (state.count > 0)
    line += " [" + std::to_string(state.done) + "/" + std::to_string(state.count) + "]";
  if (!state.text.empty())
    line += " " + state.text;
  if (state.cancelled)
    line += " (cancelling)";
  // Carriage return, the line, and "erase to the end of the line": what was longer goes.
  std::fprintf(fOut, "\r%s\x1b[K", Fitted(line, Columns(fOut) - 1).c_str());
  std::fflush(fOut);
  fDrawn = true;
}

void TerminalProgress::Erase() {
  if (!fDrawn)
    return;
  std::fputs("\r\x1b[K", fOut);
  std::fflush(fOut);
  fDrawn = false;
}

} // namespace layra

TaskProgress::TaskProgress(const PMString& title, std::int32_t count)
    : fOutermost(layra::Current().depth == 0) {
  layra::Tasks& tasks = layra::Current();
  ++tasks.depth;
  if (!fOutermost)
    return;
  layra::gCancelled.store(false);
  tasks.state = layra::ProgressState{layra::Shown(title), count > 0 ? count : 0, 0, {}, false};
  if (tasks.presenter)
    tasks.presenter->Begin(tasks.state);
}

TaskProgress::~TaskProgress() {
  layra::Tasks& tasks = layra::Current();
  --tasks.depth;
  if (!fOutermost)
    return;
  if (tasks.presenter)
    tasks.presenter->End();
  layra::gCancelled.store(false);
}

void TaskProgress::Advance(const PMString& text, std::int32_t steps) {
  layra::Tasks& tasks = layra::Current();
  layra::ProgressState& state = tasks.state;
  state.done = std::min(state.count, state.done + std::max(steps, 0));
  state.text = layra::Shown(text);
  state.cancelled = layra::gCancelled.load();
  if (tasks.presenter)
    tasks.presenter->Update(state);
}

bool TaskProgress::WasCancelled() const {
  layra::Tasks& tasks = layra::Current();
  if (tasks.presenter)
    tasks.presenter->Poll();
  return layra::gCancelled.load();
}

void TaskResult::Show(const PMString& line, Outcome outcome) {
  layra::Tasks& tasks = layra::Current();
  tasks.results.push_back(layra::ResultRecord{layra::Shown(line), outcome});
  if (tasks.presenter)
    tasks.presenter->Result(tasks.results.back());
}
