#pragma once
// How the plug-in's commands tell observers what they changed.

#include "frame/InstantiateAs.h"

#include <layra/Command.h>
#include <layra/ISubject.h>

namespace folivox {

/** After `command` ran: a model change `change` on protocol `Data::kDefaultIID`, sent to the
 *  subject of the first listed item's `Data` when that item's boss also carries `Gate` (the
 *  kind of object the command is meant for). Nothing for an empty list. */
template <class Data, class Gate>
void NotifyFirstItemChanged(Command& command, const ClassID& change) {
  const UIDList* items = command.GetItemList();
  if (items->IsEmpty())
    return;
  InterfacePtr<Data> data = InstantiateAs<Data>(items->GetRef(0));
  InterfacePtr<Gate> gate(data, UseDefaultIID());
  InterfacePtr<ISubject> subject(data, UseDefaultIID());
  if (!gate || !subject)
    return;
  subject->ModelChange(change, Data::kDefaultIID, static_cast<ICommand*>(&command));
}

} // namespace folivox
