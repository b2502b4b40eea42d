#pragma once

#include <layra/Export.h>
#include <layra/ICommand.h>

class ICommandSequence;

namespace CmdUtils {
/** A new command of class `commandClass` with one reference, or null. */
LAYRA_API ICommand* CreateCommand(ClassID commandClass);
/** Runs the command and, when it succeeds, notifies and records it for undo.
 *  Returns the global error code: 0 on success. A failed command leaves nothing changed. */
LAYRA_API ErrorCode ProcessCommand(ICommand* command);
/** Groups the commands processed until EndCommandSequence into one undo step. */
LAYRA_API ICommandSequence* BeginCommandSequence();
LAYRA_API ErrorCode EndCommandSequence(ICommandSequence* sequence);
/** Undoes or redoes the last step recorded for `db`; false when there is none. */
LAYRA_API bool UndoLast(IDataBase* db);
LAYRA_API bool RedoLast(IDataBase* db);
LAYRA_API bool CanUndo(IDataBase* db);
LAYRA_API bool CanRedo(IDataBase* db);
} // namespace CmdUtils

class ICommandSequence : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ICOMMANDSEQUENCE;
  virtual void SetName(const PMString& name) = 0;
  virtual PMString GetName() const = 0;
};
