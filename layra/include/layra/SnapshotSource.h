#pragma once
// An optional fast path for undo. The undo history keeps an implementation's state from
// before a command by streaming it out, which costs as much as the state is large. A
// persistent implementation with a large state may also derive from SnapshotSource: the
// history then keeps what TakeSnapshot hands out instead, and gives it back on undo and redo.
//
// Such an implementation may also have parts that change apart from each other: a setter
// announces the part it changes (PreDirty(part)), the history keeps only that part, and
// undoing the change leaves the other parts as they are by then.

#include <layra/Export.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace layra {

/** Parts of an implementation's state, one bit each. */
using SnapshotParts = std::uint32_t;
inline constexpr SnapshotParts kWholeState = ~SnapshotParts{0};

class LAYRA_API SnapshotSource {
public:
  virtual ~SnapshotSource();

  /** An unchanging copy of `parts` of the state (at least those; an implementation without
   *  parts copies the whole), cheap when the state is shared copy-on-write; `bytes` is set
   *  to the memory the copy holds, which counts against the history's bound. */
  virtual std::shared_ptr<const void> TakeSnapshot(SnapshotParts parts,
                                                   std::size_t& bytes) const = 0;
  /** Brings back exactly the parts a snapshot this implementation took holds. */
  virtual void RestoreSnapshot(const std::shared_ptr<const void>& snapshot) = 0;
};

} // namespace layra
