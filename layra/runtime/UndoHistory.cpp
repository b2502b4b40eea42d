#include "UndoHistory.h"

#include <layra/host/DataBase.h>

#include <algorithm>

namespace layra {

UndoHistory& UndoHistory::Instance() {
  static UndoHistory history;
  return history;
}

bool UndoHistory::Open(const PMString& name) {
  if (fOpen)
    return false;
  fOpen = true;
  fCurrent = Step{name, nullptr, {}};
  return true;
}

void UndoHistory::RecordChange(Boss& boss, ImplementationID implementation) {
  if (boss.GetDataBase())
    boss.GetDataBase()->SetModified(true);
  if (!fOpen || !implementation.IsValid() || !boss.GetDataBase())
    return;
  auto same = [&](const Snapshot& s) {
    return s.boss == &boss && s.implementation == implementation;
  };
  if (std::any_of(fCurrent.snapshots.begin(), fCurrent.snapshots.end(), same))
    return;
  boss.AddRef();
  fCurrent.snapshots.push_back(Snapshot{&boss, implementation, boss.Save(implementation), {}});
  if (!fCurrent.db)
    fCurrent.db = boss.GetDataBase();
}

void UndoHistory::Commit() {
  fOpen = false;
  Step step = std::move(fCurrent);
  fCurrent = Step{};
  if (step.snapshots.empty())
    return;
  for (Snapshot& snapshot : step.snapshots)
    snapshot.after = snapshot.boss->Save(snapshot.implementation);
  Stacks& stacks = fStacks[step.db];
  for (Step& undone : stacks.redo)
    ReleaseStep(undone);
  stacks.redo.clear();
  stacks.undo.push_back(std::move(step));
}

void UndoHistory::Rollback() {
  fOpen = false;
  Step step = std::move(fCurrent);
  fCurrent = Step{};
  Apply(step, false);
  ReleaseStep(step);
}

void UndoHistory::Apply(Step& step, bool forward) {
  if (forward) {
    for (Snapshot& snapshot : step.snapshots)
      snapshot.boss->Restore(snapshot.implementation, snapshot.after);
  } else {
    for (auto s = step.snapshots.rbegin(); s != step.snapshots.rend(); ++s)
      s->boss->Restore(s->implementation, s->before);
  }
  for (Snapshot& snapshot : step.snapshots) {
    if (snapshot.boss->GetDataBase())
      snapshot.boss->GetDataBase()->SetModified(true);
  }
}

bool UndoHistory::Undo(IDataBase* db) {
  auto stacks = fStacks.find(db);
  if (fOpen || stacks == fStacks.end() || stacks->second.undo.empty())
    return false;
  Step step = std::move(stacks->second.undo.back());
  stacks->second.undo.pop_back();
  Apply(step, false);
  stacks->second.redo.push_back(std::move(step));
  return true;
}

bool UndoHistory::Redo(IDataBase* db) {
  auto stacks = fStacks.find(db);
  if (fOpen || stacks == fStacks.end() || stacks->second.redo.empty())
    return false;
  Step step = std::move(stacks->second.redo.back());
  stacks->second.redo.pop_back();
  Apply(step, true);
  stacks->second.undo.push_back(std::move(step));
  return true;
}

bool UndoHistory::CanUndo(IDataBase* db) const {
  auto stacks = fStacks.find(db);
  return stacks != fStacks.end() && !stacks->second.undo.empty();
}

bool UndoHistory::CanRedo(IDataBase* db) const {
  auto stacks = fStacks.find(db);
  return stacks != fStacks.end() && !stacks->second.redo.empty();
}

void UndoHistory::ReleaseStep(Step& step) {
  for (Snapshot& snapshot : step.snapshots)
    snapshot.boss->Release();
  step.snapshots.clear();
}

void UndoHistory::Forget(IDataBase* db) {
  auto stacks = fStacks.find(db);
  if (stacks == fStacks.end())
    return;
  for (Step& step : stacks->second.undo)
    ReleaseStep(step);
  for (Step& step : stacks->second.redo)
    ReleaseStep(step);
  fStacks.erase(stacks);
}

void UndoHistory::ForgetAll() {
  while (!fStacks.empty())
    Forget(fStacks.begin()->first);
}

} // namespace layra
