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
#include <unistd.h>
#include <vector>

namespace layra {
namespace {

std::atomic<unsigned> gWorkerCount{0};

// Often enough that a window waiting on a long page still repaints smoothly.
constexpr std::chrono::milliseconds kPaintInterval{40};

// The workers take the next index until none is left; the calling thread hears of each one
// that finished, and may stop the batch: the indices not yet begun are then passed over.
class Batch {
public:
  Batch(std::size_t count, const std::function<void(std::size_t)>& work)
      : fCount(count), fWork(work) {}

  void Work() {
    for (std::size_t i = fNext++; i < fCount; i = fNext++) {
      if (!fStopped)
        fWork(i);
      {
        const std::lock_guard lock(fMutex);
        fFinished.push_back(i);
      }
      fChanged.notify_one();
    }
  }

  void Await(const std::function<bool(std::size_t)>& done) {
    std::vector<std::size_t> ready;
    for (std::size_t reported = 0; reported < fCount;) {
      {
        std::unique_lock lock(fMutex);
        fChanged.wait_for(lock, kPaintInterval, [&] { return !fFinished.empty(); });
        ready.swap(fFinished);
      }
      RunBusyHook();
      for (std::size_t i : ready) {
        if (!fStopped && done && !done(i))
          fStopped = true;
      }
      reported += ready.size();
      ready.clear();
    }
  }

private:
  const std::size_t fCount;
  const std::function<void(std::size_t)>& fWork;
  std::atomic<std::size_t> fNext{0};
  std::atomic<bool> fStopped{false};
  std::mutex fMutex;
  std::condition_variable fChanged;
  std::vector<std::size_t> fFinished;
};

// Threads that live as long as the process, so that what each keeps for itself (its renderer's
// fonts, its raster) serves every batch. A batch is handed to as many of them as it asked for.
class WorkerPool {
public:
  // Starts what is missing of `wanted` workers and hands them the batch; false when none could
  // start (or this is a forked copy of the process, where the workers do not exist).
  bool Hand(Batch& batch, std::size_t wanted) {
    std::unique_lock lock(fMutex);
    // A batch started while another waits (the window's events run meanwhile) renders on the
    // thread that asked for it.
    if (fOwner != ::getpid() || fBatch)
      return false;
    try {
      while (fThreads.size() < wanted)
        fThreads.emplace_back([this] { Serve(); });
    } catch (const std::system_error&) {
      // Fewer workers than asked for still finish the batch.
    }
    if (fThreads.empty())
      return false;
    fBatch = &batch;
    fSeats = std::min(wanted, fThreads.size());
    fBusy = 0;
    ++fGeneration;
    lock.unlock();
    fWake.notify_all();
    return true;
  }

  // Waits until every worker that took part in the batch has let go of it.
  void Release() {
    std::unique_lock lock(fMutex);
    fIdle.wait(lock, [&] { return fSeats == 0 && fBusy == 0; });
    fBatch = nullptr;
  }

private:
  void Serve() {
    std::uint64_t seen = 0;
    std::unique_lock lock(fMutex);
    for (;;) {
      fWake.wait(lock, [&] { return fGeneration != seen && fSeats > 0; });
      seen = fGeneration;
      --fSeats;
      ++fBusy;
      Batch* batch = fBatch;
      lock.unlock();
      batch->Work();
      lock.lock();
      --fBusy;
      fIdle.notify_all();
    }
  }

  std::mutex fMutex;
  std::condition_variable fWake;
  std::condition_variable fIdle;
  std::vector<std::thread> fThreads;
  Batch* fBatch = nullptr;
  std::size_t fSeats = 0;
  std::size_t fBusy = 0;
  std::uint64_t fGeneration = 0;
  const pid_t fOwner = ::getpid();
};

// Never destroyed: the workers wait for work until the process ends.
WorkerPool& Pool() {
  static WorkerPool& pool = *new WorkerPool;
  return pool;
}

} // namespace

void SetRenderWorkerCount(unsigned count) {
  gWorkerCount = count;
}

unsigned RenderWorkerCount() {
  const unsigned set = gWorkerCount;
  return set != 0 ? set : std::max(1u, std::thread::hardware_concurrency());
}

void RunOnRenderWorkers(std::size_t count, const std::function<void(std::size_t)>& work,
                        const std::function<bool(std::size_t)>& done) {
  Batch batch(count, work);
  const std::size_t wanted = std::min<std::size_t>(RenderWorkerCount(), count);
  const bool handed = wanted > 0 && Pool().Hand(batch, wanted);
  if (!handed)
    batch.Work();
  batch.Await(done);
  if (handed)
    Pool().Release();
}

} // namespace layra
