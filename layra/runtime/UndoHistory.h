#pragma once
// Snapshots taken while commands run, grouped into undo steps per database.

#include <layra/IDataBase.h>
#include <layra/PMString.h>
#include <layra/host/ObjectModel.h>

#include <map>
#include <vector>

namespace layra {

class UndoHistory {
public:
  static UndoHistory& Instance();

  /** Opens a step (or joins the open one); returns whether this call opened it. */
  bool Open(const PMString& name);
  /** Called by PreDirty: remembers the implementation's state before its first change in
   *  the open step and marks its database modified. */
  void RecordChange(Boss& boss, ImplementationID implementation);
  /** Closes the step opened by this caller, keeping it for undo. */
  void Commit();
  /** Closes the step opened by this caller, restoring everything it changed. */
  void Rollback();

  bool Undo(IDataBase* db);
  bool Redo(IDataBase* db);
  bool CanUndo(IDataBase* db) const;
  bool CanRedo(IDataBase* db) const;
  /** Drops the history of a database that goes away, or of all of them. */
  void Forget(IDataBase* db);
  void ForgetAll();

private:
  struct Snapshot {
    Boss* boss; // referenced
    ImplementationID implementation;
    std::vector<unsigned char> before;
    std::vector<unsigned char> after;
  };
  struct Step {
    PMString name;
    IDataBase* db = nullptr;
    std::vector<Snapshot> snapshots;
  };
  struct Stacks {
    std::vector<Step> undo;
    std::vector<Step> redo;
  };

  static void ReleaseStep(Step& step);
  static void Apply(Step& step, bool forward);

  bool fOpen = false;
  Step fCurrent;
  std::map<IDataBase*, Stacks> fStacks;
};

} // namespace layra
