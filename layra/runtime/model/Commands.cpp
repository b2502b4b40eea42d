#include <layra/CmdUtils.h>
#include <layra/ErrorUtils.h>
#include <layra/IObjectModel.h>

#include "MainThread.h"
#include "RefCounted.h"
#include "UndoHistory.h"

namespace {
ErrorCode gGlobalErrorCode = kSuccess;

class CommandSequence final : public layra::RefCounted<ICommandSequence> {
public:
  CommandSequence() : fOpened(layra::UndoHistory::Instance().Open(PMString("Sequence"))) {}
  void SetName(const PMString& name) override { fName = name; }
  PMString GetName() const override { return fName; }
  bool Opened() const { return fOpened; }

private:
  PMString fName;
  bool fOpened;
};
} // namespace

namespace ErrorUtils {
ErrorCode PMGetGlobalErrorCode() {
  return gGlobalErrorCode;
}
void PMSetGlobalErrorCode(ErrorCode code) {
  gGlobalErrorCode = code;
}
} // namespace ErrorUtils

namespace CmdUtils {

ICommand* CreateCommand(ClassID commandClass) {
  return static_cast<ICommand*>(CreateObject(commandClass, IID_ICOMMAND));
}

ErrorCode ProcessCommand(ICommand* command) {
  LAYRA_ASSERT_MAIN_THREAD();
  if (!command)
    return kFailure;
  InterfacePtr<ICommand> keepAlive(command, IID_ICOMMAND);
  auto& history = layra::UndoHistory::Instance();
  const bool opened = history.Open(command->CreateName());
  const layra::UndoHistory::Mark mark = history.BeginCommand();
  ErrorUtils::PMSetGlobalErrorCode(kSuccess);
  command->Do();
  const ErrorCode result = ErrorUtils::PMGetGlobalErrorCode();
  if (result != kSuccess) {
    // Inside a sequence only this command's changes go; the sequence's earlier ones stay.
    if (opened)
      history.Rollback();
    else
      history.RollbackTo(mark);
    return result;
  }
  command->DoNotify();
  if (opened)
    history.Commit();
  return ErrorUtils::PMGetGlobalErrorCode();
}

ICommandSequence* BeginCommandSequence() {
  return new CommandSequence();
}

ErrorCode EndCommandSequence(ICommandSequence* sequence) {
  if (!sequence)
    return kFailure;
  if (static_cast<CommandSequence*>(sequence)->Opened())
    layra::UndoHistory::Instance().Commit();
  sequence->Release();
  return kSuccess;
}

bool UndoLast(IDataBase* db) {
  return layra::UndoHistory::Instance().Undo(db);
}
bool RedoLast(IDataBase* db) {
  return layra::UndoHistory::Instance().Redo(db);
}
bool CanUndo(IDataBase* db) {
  return layra::UndoHistory::Instance().CanUndo(db);
}
bool CanRedo(IDataBase* db) {
  return layra::UndoHistory::Instance().CanRedo(db);
}

} // namespace CmdUtils
