#pragma once
// How the plug-in's commands tell observers what they changed.

#include "base/InstantiateAs.h"

#include <layra/Command.h>
#include <layra/ISubject.h>
#include <layra/UtilsBoss.h>

namespace folivox {

/** The first listed item's `Data` when that item's boss also carries `Gate` (the kind of
 *  object the command is meant for); null otherwise and for an empty list. */
template <class Data, class Gate> InterfacePtr<Data> FirstItemOfKind(const Command& command) {
  const UIDList* items = command.GetItemList();
  if (items->IsEmpty())
    return {};
  InterfacePtr<Data> data = InstantiateAs<Data>(items->GetRef(0));
  InterfacePtr<Gate> gate(data, UseDefaultIID());
  return gate ? data : InterfacePtr<Data>();
}

/** After `command` ran: a model change `change` on protocol `Data::kDefaultIID`, sent to the
 *  subject of the first listed item's `Data` (see FirstItemOfKind). */
template <class Data, class Gate>
void NotifyFirstItemChanged(Command& command, const ClassID& change) {
  InterfacePtr<ISubject> subject(FirstItemOfKind<Data, Gate>(command), UseDefaultIID());
  if (subject)
    subject->ModelChange(change, Data::kDefaultIID, static_cast<ICommand*>(&command));
}

/** The same change told once more, through the host, to whoever watches the whole database
 *  of the item list, when the first listed item is of the kind `Gate` names. */
template <class Data, class Gate>
void BroadcastFirstItemChanged(Command& command, const ClassID& change) {
  if (!FirstItemOfKind<Data, Gate>(command))
    return;
  InterfacePtr<IBroadcastUtils> broadcast(UtilsBoss::QueryUtils<IBroadcastUtils>());
  if (broadcast)
    broadcast->BroadcastModelChange(command.GetItemList()->GetDataBase(), change, Data::kDefaultIID,
                                    static_cast<ICommand*>(&command));
}

} // namespace folivox
