#include "RenderWorkers.h"

#include <layra/host/RenderWorkers.h>
#include <layra/host/Views.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace layra {
namespace {

std::atomic<unsigned> gWorkerCount{0};

// Often enough that a window waiting on a long page still repaints smoothly.
constexpr std::chrono::milliseconds kPaintInterval{40};

// The workers take the next index until none is left; the calling thread hears of each one
// that finished.
class Batch {
public:
  Batch(std::size_t count, const std::function<void(std::size_t)>& work)
      : fCount(count), fWork(work) {}

  void Work() {
    for (std::size_t i = fNext++; i < fCount; i = fNext++) {
      fWork(i);
      {
        const std::lock_guard lock(fMutex);
        fFinished.push_back(i);
      }
      fChanged.notify_one();
    }
  }

  void Await(const std::function<void(std::size_t)>& done) {
    std::vector<std::size_t> ready;
    for (std::size_t reported = 0; reported < fCount;) {
      {
        std::unique_lock lock(fMutex);
        fChanged.wait_for(lock, kPaintInterval, [&] { return !fFinished.empty(); });
        ready.swap(fFinished);
      }
      RunBusyHook();
      for (std::size_t i : ready) {
        if (done)
          done(i);
      }
      reported += ready.size();
      ready.clear();
    }
  }

private:
  const std::size_t fCount;
  const std::function<void(std::size_t)>& fWork;
  std::atomic<std::size_t> fNext{0};
  std::mutex fMutex;
  std::condition_variable fChanged;
  std::vector<std::size_t> fFinished;
};

} // namespace

void SetRenderWorkerCount(unsigned count) {
  gWorkerCount = count;
}

unsigned RenderWorkerCount() {
  const unsigned set = gWorkerCount;
  return set != 0 ? set : std::max(1u, std::thread::hardware_concurrency());
}

void RunOnRenderWorkers(std::size_t count, const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t)>& done) {
  Batch batch(count, work);
  std::vector<std::jthread> workers;
  const std::size_t wanted = std::min<std::size_t>(RenderWorkerCount(), count);
  try {
    while (workers.size() < wanted)
      workers.emplace_back([&batch] { batch.Work(); });
  } catch (const std::system_error&) {
    // Fewer workers than cores still finish the batch; with none, this thread does it.
  }
  if (workers.empty())
    batch.Work();
  batch.Await(done);
}

} // namespace layra
