#pragma once
// A long task a plug-in runs on the main thread, shown while it runs: a title, how far it
// got of a count of steps, a line saying what it does now, and a way for the person to stop
// it. The host shows it in its window or on a terminal; the plug-in reports and asks at the
// points where stopping is safe, and says in one line how the task ended.

#include <layra/Export.h>
#include <layra/PMString.h>

#include <cstdint>

class LAYRA_API TaskProgress {
public:
  /** Begins a task of `count` steps. A task begun while another runs is part of it: it
   *  shows nothing of its own and shares its cancel. */
  TaskProgress(const PMString& title, std::int32_t count);
  /** Ends the task. */
  ~TaskProgress();
  TaskProgress(const TaskProgress&) = delete;
  TaskProgress& operator=(const TaskProgress&) = delete;

  /** Says what the task does now, `steps` further on (0: the same step, new words); the
   *  window repaints. */
  void Advance(const PMString& text, std::int32_t steps = 1);
  /** Whether the person asked to stop the task; the window takes pending clicks first. */
  bool WasCancelled() const;

private:
  bool fOutermost;
};

namespace TaskResult {
enum Outcome : std::int32_t { kDone = 0, kFailed = 1, kCancelled = 2, kNothingDone = 3 };
/** One line saying how an operation ended (in the window's status bar, on a terminal's
 *  error stream); the host remembers the outcome for its exit status. */
LAYRA_API void Show(const PMString& line, Outcome outcome);
} // namespace TaskResult
