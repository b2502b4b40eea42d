#pragma once
// An optional fast path for undo. The undo history keeps an implementation's state from
// before a command by streaming it out, which costs as much as the state is large. A
// persistent implementation with a large state may also derive from SnapshotSource: the
// history then keeps what TakeSnapshot hands out instead, and gives it back on undo and redo.

#include <layra/Export.h>

#include <cstddef>
#include <memory>

namespace layra {

class LAYRA_API SnapshotSource {
public:
  virtual ~SnapshotSource();

  /** An unchanging copy of the whole state, cheap when the state is shared copy-on-write;
   *  `bytes` is set to the memory the copy holds, which counts against the history's bound. */
  virtual std::shared_ptr<const void> TakeSnapshot(std::size_t& bytes) const = 0;
  /** Brings back exactly the state of a snapshot this implementation took. */
  virtual void RestoreSnapshot(const std::shared_ptr<const void>& snapshot) = 0;
};

} // namespace layra
