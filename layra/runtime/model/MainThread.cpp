#include "MainThread.h"

#include <atomic>
#include <thread>

namespace layra {
namespace {
std::atomic<std::thread::id> gMainThread{};
} // namespace

void SetMainThread(bool hosting) {
  gMainThread.store(hosting ? std::this_thread::get_id() : std::thread::id{});
}

bool OnMainThread() {
  const std::thread::id main = gMainThread.load(std::memory_order_relaxed);
  return main == std::thread::id{} || main == std::this_thread::get_id();
}

} // namespace layra
