#pragma once
// How a front end shows the plug-ins' tasks (layra/TaskProgress.h) and their results, and
// how a person's cancel reaches the running task.

#include <layra/Export.h>
#include <layra/TaskProgress.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace layra {

struct ProgressState {
  std::string title;
  std::int32_t count = 0;
  std::int32_t done = 0;
  std::string text;
  bool cancelled = false;
};

struct ResultRecord {
  std::string line;
  TaskResult::Outcome outcome = TaskResult::kDone;
};

class LAYRA_API ProgressPresenter {
public:
  virtual ~ProgressPresenter() = default;
  virtual void Begin(const ProgressState& state) = 0;
  /** The task advanced or says something new. */
  virtual void Update(const ProgressState& state) = 0;
  virtual void End() = 0;
  /** The task asks whether it was cancelled: the place to take pending input. */
  virtual void Poll() {}
  /** Something else is about to write where the progress shows (an alert's echo). */
  virtual void Pause() {}
  virtual void Result(const ResultRecord& result) = 0;
};

/** The one presenter (null: tasks run unseen and results are only recorded). */
LAYRA_API void SetProgressPresenter(ProgressPresenter* presenter);
/** Asks the running task to stop at its next safe point; nothing when none runs. Safe to
 *  call from a signal handler. */
LAYRA_API void CancelTask();
LAYRA_API bool IsTaskRunning();
/** Lets the presenter make room before something else writes to the terminal. */
LAYRA_API void PauseProgress();
/** Every result shown since the start (or the last ClearResults), oldest first. */
LAYRA_API const std::vector<ResultRecord>& Results();
LAYRA_API void ClearResults();

/** Progress on one line of a terminal, written over at each change (at most every 100 ms),
 *  and each result on a line of its own. `draw` false: results only. While a task runs,
 *  SIGINT (Ctrl+C) cancels it; a second one ends the program as usual. */
class LAYRA_API TerminalProgress : public ProgressPresenter {
public:
  TerminalProgress(std::FILE* out, bool draw) : fOut(out), fDraw(draw) {}
  void Begin(const ProgressState& state) override;
  void Update(const ProgressState& state) override;
  void End() override;
  void Poll() override;
  void Pause() override { Erase(); }
  void Result(const ResultRecord& result) override;

private:
  void Draw(const ProgressState& state);
  void Erase();

  std::FILE* fOut;
  bool fDraw;
  bool fDrawn = false;
  std::int64_t fLastDraw = 0;
  ProgressState fPending;
  std::string fShown;
  struct sigaction fSavedInterrupt {};
};

} // namespace layra
