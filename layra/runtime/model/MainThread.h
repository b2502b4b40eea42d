#pragma once
// Host objects belong to the thread that made the host: reference counts are plain
// integers and nothing in the object model is locked. Debug builds check it where a
// plug-in could get it wrong.

#include <cassert>

namespace layra {

/** Makes the calling thread the host's own; `false` forgets it when the host goes. */
void SetMainThread(bool hosting);
/** Whether the caller may touch host objects: on the host's thread, or no host is running. */
bool OnMainThread();

} // namespace layra

#define LAYRA_ASSERT_MAIN_THREAD()                                                                 \
  assert(::layra::OnMainThread() && "host objects belong to the host's main thread")
