#pragma once

#include <layra/HostIDs.h>
#include <layra/PMString.h>
#include <layra/UIDRef.h>

class ICommand : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ICOMMAND;

  virtual void SetItemList(const UIDList& items) = 0;
  virtual const UIDList* GetItemList() const = 0;
  /** Makes the change. Failure is reported through the global error code. */
  virtual void Do() = 0;
  /** Tells observers about the change once it is made. */
  virtual void DoNotify() = 0;
  /** The name shown for the command in the undo history. */
  virtual PMString CreateName() = 0;
};
