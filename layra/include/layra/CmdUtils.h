#pragma once

#include <layra/ICommand.h>

class ICommandSequence;

namespace CmdUtils {
/** A new command of class `commandClass` with one reference, or null. */
ICommand* CreateCommand(ClassID commandClass);
/** Runs the command and, when it succeeds, notifies and records it for undo.
 *  Returns the global error code: 0 on success. A failed command leaves nothing changed. */
ErrorCode ProcessCommand(ICommand* command);
/** Groups the commands processed until EndCommandSequence into one undo step. */
ICommandSequence* BeginCommandSequence();
ErrorCode EndCommandSequence(ICommandSequence* sequence);
/** Undoes or redoes the last step recorded for `db`; false when there is none. */
bool UndoLast(IDataBase* db);
bool RedoLast(IDataBase* db);
bool CanUndo(IDataBase* db);
bool CanRedo(IDataBase* db);
} // namespace CmdUtils

class ICommandSequence : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ICOMMANDSEQUENCE;
  virtual void SetName(const PMString& name) = 0;
  virtual PMString GetName() const = 0;
};
