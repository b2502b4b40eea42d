#include "UndoHistory.h"

#include "Subject.h"
#include <layra/ISubject.h>
#include <layra/host/DataBase.h>

#include <algorithm>

namespace layra {

UndoHistory& UndoHistory::Instance() {
  static UndoHistory history;
  return history;
}

std::size_t UndoHistory::Step::Bytes() const {
  std::size_t bytes = 0;
  for (const Snapshot& snapshot : snapshots)
    bytes += snapshot.before.Size() + snapshot.after.Size();
  return bytes;
}

void UndoHistory::SetLimits(UndoLimits limits) {
  fLimits = limits;
  for (auto& [db, stacks] : fStacks)
    Trim(stacks);
}

bool UndoHistory::Open(const PMString& name) {
  if (fOpen)
    return false;
  fOpen = true;
  fOpenDepth = DeliveryDepth();
  fCurrent = Step{0, name, nullptr, std::move(fSpare), {}};
  fSpare.clear();
  return true;
}

UndoHistory::Mark UndoHistory::BeginCommand() {
  ++fChange;
  return Mark{fCurrent.snapshots.size(), fCurrent.notices.size()};
}

void UndoHistory::RecordChange(Boss& boss, ImplementationID implementation, SnapshotParts parts) {
  DataBase* db = boss.GetDataBase();
  if (!db)
    return;
  db->SetModified(true);
  if (!fOpen || fLimits.steps == 0 || !implementation.IsValid()) {
    ChangedWithoutUndo(db);
    return;
  }
  // Within one command the first state is enough; a later command of the same sequence
  // needs its own, so that it can be rolled back alone.
  std::optional<Boss::State> before = boss.CaptureOnce(implementation, fChange, parts);
  if (!before)
    return;
  boss.AddRef();
  fCurrent.snapshots.push_back(Snapshot{&boss, implementation, std::move(*before), {}});
  if (!fCurrent.db)
    fCurrent.db = boss.GetDataBase();
}

void UndoHistory::RecordNotice(const Boss& subject, ClassID change, PMIID protocol, int depth) {
  if (fOpen && fLimits.steps > 0 && depth == fOpenDepth)
    fCurrent.notices.push_back(Notice{&subject, subject.Alive(), change, protocol});
}

void UndoHistory::Commit() {
  fOpen = false;
  ++fChange;
  Step step = std::move(fCurrent);
  fCurrent = Step{};
  if (step.snapshots.empty())
    return;
  step.serial = ++fSteps;
  Stacks& stacks = fStacks[step.db];
  for (Step& undone : stacks.redo) {
    ReleaseSnapshots(undone.snapshots, 0);
    if (undone.snapshots.capacity() > fSpare.capacity())
      fSpare = std::move(undone.snapshots);
  }
  stacks.redo.clear();
  stacks.undo.push_back(std::move(step));
  Trim(stacks);
}

void UndoHistory::Rollback() {
  RollbackTo(Mark{});
  fOpen = false;
  fCurrent = Step{};
}

void UndoHistory::RollbackTo(Mark mark) {
  auto& snapshots = fCurrent.snapshots;
  for (std::size_t i = snapshots.size(); i > mark.snapshots; --i) {
    Snapshot& snapshot = snapshots[i - 1];
    snapshot.boss->Restore(snapshot.implementation, snapshot.before);
  }
  ReleaseSnapshots(snapshots, mark.snapshots);
  fCurrent.notices.resize(std::min(fCurrent.notices.size(), mark.notices));
  ++fChange;
}

void UndoHistory::MarkModified(const Step& step, const Stacks& stacks) {
  // A step mostly changes one database: tell each only once in a row.
  DataBase* marked = nullptr;
  for (const Snapshot& snapshot : step.snapshots) {
    DataBase* db = snapshot.boss->GetDataBase();
    if (db == marked)
      continue;
    db->SetModified(db != step.db || stacks.saved != stacks.Position());
    marked = db;
  }
}

void UndoHistory::MarkSaved(IDataBase* db) {
  Stacks& stacks = fStacks[db];
  stacks.saved = stacks.Position();
}

void UndoHistory::ChangedWithoutUndo(IDataBase* db) {
  if (auto stacks = fStacks.find(db); stacks != fStacks.end())
    stacks->second.saved.reset();
}

void UndoHistory::Resend(std::vector<Notice> notices) {
  // A copy: an observer may run a command, which clears the redo steps.
  for (const Notice& notice : notices) {
    if (!*notice.alive)
      continue;
    InterfacePtr<ISubject> subject(notice.subject, UseDefaultIID());
    if (subject)
      subject->ModelChange(notice.change, notice.protocol, nullptr);
  }
}

bool UndoHistory::Undo(IDataBase* db) {
  auto stacks = fStacks.find(db);
  if (fOpen || stacks == fStacks.end() || stacks->second.undo.empty())
    return false;
  Step step = std::move(stacks->second.undo.back());
  stacks->second.undo.pop_back();
  for (auto s = step.snapshots.rbegin(); s != step.snapshots.rend(); ++s) {
    s->after = s->boss->Capture(s->implementation, s->before.parts);
    s->boss->Restore(s->implementation, s->before);
  }
  std::vector<Notice> notices = step.notices;
  stacks->second.redo.push_back(std::move(step));
  MarkModified(stacks->second.redo.back(), stacks->second);
  Trim(stacks->second);
  Resend(std::move(notices));
  return true;
}

bool UndoHistory::Redo(IDataBase* db) {
  auto stacks = fStacks.find(db);
  if (fOpen || stacks == fStacks.end() || stacks->second.redo.empty())
    return false;
  Step step = std::move(stacks->second.redo.back());
  stacks->second.redo.pop_back();
  for (Snapshot& snapshot : step.snapshots)
    snapshot.boss->Restore(snapshot.implementation, snapshot.after);
  std::vector<Notice> notices = step.notices;
  stacks->second.undo.push_back(std::move(step));
  MarkModified(stacks->second.undo.back(), stacks->second);
  Resend(std::move(notices));
  return true;
}

void UndoHistory::Trim(Stacks& stacks) const {
  stacks.bytes = 0;
  for (const Step& step : stacks.undo)
    stacks.bytes += step.Bytes();
  for (const Step& step : stacks.redo)
    stacks.bytes += step.Bytes();
  while (!stacks.undo.empty() &&
         (stacks.undo.size() > fLimits.steps || stacks.bytes > fLimits.bytes)) {
    stacks.bytes -= stacks.undo.front().Bytes();
    stacks.dropped = stacks.undo.front().serial;
    ReleaseSnapshots(stacks.undo.front().snapshots, 0);
    stacks.undo.pop_front();
  }
}

bool UndoHistory::CanUndo(IDataBase* db) const {
  auto stacks = fStacks.find(db);
  return stacks != fStacks.end() && !stacks->second.undo.empty();
}

bool UndoHistory::CanRedo(IDataBase* db) const {
  auto stacks = fStacks.find(db);
  return stacks != fStacks.end() && !stacks->second.redo.empty();
}

std::size_t UndoHistory::Bytes(const IDataBase* db) const {
  auto stacks = fStacks.find(const_cast<IDataBase*>(db));
  return stacks == fStacks.end() ? 0 : stacks->second.bytes;
}

void UndoHistory::ReleaseSnapshots(std::vector<Snapshot>& snapshots, std::size_t from) {
  for (std::size_t i = from; i < snapshots.size(); ++i)
    snapshots[i].boss->Release();
  snapshots.resize(std::min(from, snapshots.size()));
}

void UndoHistory::Forget(IDataBase* db) {
  auto stacks = fStacks.find(db);
  if (stacks == fStacks.end())
    return;
  for (Step& step : stacks->second.undo)
    ReleaseSnapshots(step.snapshots, 0);
  for (Step& step : stacks->second.redo)
    ReleaseSnapshots(step.snapshots, 0);
  fStacks.erase(stacks);
}

void UndoHistory::ForgetAll() {
  while (!fStacks.empty())
    Forget(fStacks.begin()->first);
}

} // namespace layra
