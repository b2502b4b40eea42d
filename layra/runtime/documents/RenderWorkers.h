#pragma once

#include <cstddef>
#include <functional>

namespace layra {

/** Runs work(i) for every i below `count` on the render workers and returns when all are done.
 *  Meanwhile the calling thread keeps the window painting and calls done(i) as each i
 *  finishes; `work` runs on other threads and must not touch host objects. */
void RunOnRenderWorkers(std::size_t count, const std::function<void(std::size_t)>& work,
                        const std::function<bool(std::size_t)>& done);

} // namespace layra
