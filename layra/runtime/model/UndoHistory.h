#pragma once
// Snapshots taken while commands run, grouped into undo steps per database,
// with the change notices each step sent so that undo and redo can send them
// again. The history of each database is bounded by steps and by bytes.

#include <layra/IDataBase.h>
#include <layra/PMString.h>
#include <layra/host/Host.h>
#include <layra/host/ObjectModel.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace layra {

class UndoHistory {
public:
  /** Where the open step stood when a command began; a failed command goes back to it. */
  struct Mark {
    std::size_t snapshots = 0;
    std::size_t notices = 0;
  };

  static UndoHistory& Instance();

  /** Bounds every database's history; zero steps turns undo off. Drops what is over. */
  void SetLimits(UndoLimits limits);
  /** Opens a step (or joins the open one); returns whether this call opened it. */
  bool Open(const PMString& name);
  /** Marks where the next command's changes begin. */
  Mark BeginCommand();
  /** Called by PreDirty: remembers the state of the implementation's `parts` before their
   *  first change since the last mark and marks its database modified. */
  void RecordChange(Boss& boss, ImplementationID implementation, SnapshotParts parts);
  /** Remembers a change notice a subject sent while the step was open, when it is the
   *  command's own: sent at the delivery depth where the step opened (a command may run in
   *  an observer), not by an observer hearing it. */
  void RecordNotice(const Boss& subject, ClassID change, PMIID protocol, int depth);
  /** Closes the step opened by this caller, keeping it for undo. */
  void Commit();
  /** Closes the step opened by this caller, restoring everything it changed. */
  void Rollback();
  /** Restores what changed in the open step since `mark` and forgets it. */
  void RollbackTo(Mark mark);

  /** The database now matches its file (saved or loaded there): undo or redo that brings it
   *  back to this point leaves it unmodified. */
  void MarkSaved(IDataBase* db);
  /** A change that no step can undo: the saved point can no longer be reached. */
  void ChangedWithoutUndo(IDataBase* db);

  bool Undo(IDataBase* db);
  bool Redo(IDataBase* db);
  bool CanUndo(IDataBase* db) const;
  bool CanRedo(IDataBase* db) const;
  /** What the snapshots of a database's history hold. */
  std::size_t Bytes(const IDataBase* db) const;
  /** Drops the history of a database that goes away, or of all of them. */
  void Forget(IDataBase* db);
  void ForgetAll();

private:
  struct Snapshot {
    Boss* boss; // referenced
    ImplementationID implementation;
    Boss::State before;
    // Taken when the step is undone, of the same parts: redo brings back what undo replaced.
    Boss::State after;
  };
  struct Notice {
    const Boss* subject;
    std::shared_ptr<const bool> alive;
    ClassID change;
    PMIID protocol;
  };
  struct Step {
    // Tells apart every step ever kept, so that a saved point names the step it followed.
    std::uint64_t serial = 0;
    PMString name;
    IDataBase* db = nullptr;
    std::vector<Snapshot> snapshots;
    std::vector<Notice> notices;
    std::size_t Bytes() const;
  };
  struct Stacks {
    std::deque<Step> undo;
    std::vector<Step> redo;
    std::size_t bytes = 0;
    // The serial of the last step dropped from the bottom of `undo`, or 0.
    std::uint64_t dropped = 0;
    // Where the database matched its file: the serial of the step done last then, or the
    // value of `dropped` when none was; nullopt when that state cannot come back.
    std::optional<std::uint64_t> saved;
    std::uint64_t Position() const { return undo.empty() ? dropped : undo.back().serial; }
  };

  static void ReleaseSnapshots(std::vector<Snapshot>& snapshots, std::size_t from);
  static void MarkModified(const Step& step, const Stacks& stacks);
  static void Resend(std::vector<Notice> notices);
  void Trim(Stacks& stacks) const;

  UndoLimits fLimits;
  bool fOpen = false;
  int fOpenDepth = 0; // the delivery depth where the open step began
  Step fCurrent;
  // The room of the last redo steps dropped, so that the next step need not grow its own.
  std::vector<Snapshot> fSpare;
  // Counts the spans within which an object keeps its first snapshot only (a command, or
  // what a sequence changes between commands); each boss notes the span of its last one.
  std::uint64_t fChange = 1;
  std::uint64_t fSteps = 0;
  std::map<IDataBase*, Stacks> fStacks;
};

} // namespace layra
