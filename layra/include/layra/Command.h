#pragma once
// Base of plug-in commands: keeps the item list. Undo needs no code here: the
// host snapshots every implementation that calls PreDirty() during Do() (by
// streaming it, or through SnapshotSource when the implementation offers one).

#include <layra/CPMUnknown.h>
#include <layra/ICommand.h>

class Command : public CPMUnknown<ICommand> {
public:
  explicit Command(IPMUnknown* boss) : CPMUnknown<ICommand>(boss) {}

  void SetItemList(const UIDList& items) override { fItems = items; }
  const UIDList* GetItemList() const override { return &fItems; }

private:
  UIDList fItems;
};
