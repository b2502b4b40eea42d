#include "panel/PanelObservers.h"

#include "base/ActionRequests.h"
#include "base/ImplementationTable.h"
#include "base/PanelWidgets.h"
#include "base/Trace.h"
#include "panel/FolivoTreeInformator.h"

#include <layra/IControlView.h>
#include <layra/IPanelControlData.h>
#include <layra/ISubject.h>

#include <utility>

namespace {
folivox::RegisterImplementation<FolivoSelectionObserverImpl>
    gRegisterSelectionObserver(kFolivoSelectionObserverImpl);
folivox::RegisterImplementation<FolivoTreeListNodeObserver>
    gRegisterNodeObserver(kFolivoTreeListNodeObserverImpl);

using Subscription = std::pair<WidgetID, PMIID>;

// The list first, then the buttons from right to left and the send button last; detaching
// takes the list's two between the buttons.
constexpr Subscription kAttachOrder[] = {
    {kFolivoPageListWidgetID, IID_ITREEVIEWMGR},
    {kFolivoPageListWidgetID, IID_ITREEVIEWCONTROLLER},
    {kFolivoInvertStatusesButtonWidgetID, IID_IBOOLEANCONTROLDATA},
    {kFolivoCheckAllButtonWidgetID, IID_IBOOLEANCONTROLDATA},
    {kFolivoUncheckAllButtonWidgetID, IID_IBOOLEANCONTROLDATA},
    {kFolivoSendButtonWidgetID, IID_IBOOLEANCONTROLDATA}};
constexpr Subscription kDetachOrder[] = {kAttachOrder[2], kAttachOrder[3], kAttachOrder[4],
                                         kAttachOrder[0], kAttachOrder[1], kAttachOrder[5]};

WidgetID WidgetOf(ISubject* subject) {
  InterfacePtr<IControlView> view(subject, UseDefaultIID());
  return view ? view->GetWidgetID() : kInvalidWidgetID;
}

template <class Operation> void WithPageList(Operation operation) {
  if (gFolivoTreeInformator)
    operation(*gFolivoTreeInformator);
}
} // namespace

void FolivoSelectionObserverImpl::AutoAttach() {
  ActiveSelectionObserver::AutoAttach();
  for (const auto& [widget, protocol] : kAttachOrder)
    AttachToWidget(widget, protocol);
}

void FolivoSelectionObserverImpl::AutoDetach() {
  for (const auto& [widget, protocol] : kDetachOrder)
    DetachFromWidget(widget, protocol);
  ActiveSelectionObserver::AutoDetach();
}

void FolivoSelectionObserverImpl::HandleSelectionUpdate(const ClassID& theChange,
                                                        ISubject* theSubject, const PMIID& protocol,
                                                        void* changedBy) {
  ActiveSelectionObserver::HandleSelectionUpdate(theChange, theSubject, protocol, changedBy);
  if (theChange != kTrueStateMessage)
    return;
  switch (WidgetOf(theSubject).Get()) {
  case kPageStatusCheckboxWidgetID.Get():
    folivox::Trace("kPageStatusCheckboxWidgetID\n");
    break;
  case kFolivoInvertStatusesButtonWidgetID.Get():
    WithPageList([](FolivoTreeInformator& list) { list.InvertPageStatuses(); });
    break;
  case kFolivoCheckAllButtonWidgetID.Get():
    WithPageList([](FolivoTreeInformator& list) { list.MakePagesReady(); });
    break;
  case kFolivoUncheckAllButtonWidgetID.Get():
    WithPageList([](FolivoTreeInformator& list) { list.MakePagesNotReady(); });
    break;
  case kFolivoSendButtonWidgetID.Get():
    folivox::PerformActionInActiveContext(kFolivoSendPagesActionID);
    break;
  default:
    break;
  }
}

void FolivoSelectionObserverImpl::HandleSelectionChanged(const ISelectionMessage*) {
  InterfacePtr<IPanelControlData> widgets(this, UseDefaultIID());
  if (!widgets) {
    folivox::Trace("IPanelControlData is nil.\n");
    return;
  }
  IControlView* list = widgets->FindWidget(kFolivoPageListWidgetID, folivox::kWidgetSearchDepth);
  if (!list)
    return;
  InterfacePtr<ITreeInformator> informator(list, UseDefaultIID());
  if (!informator) {
    folivox::Trace(
        "Could not get this tree ITreeInformator. This ListView will not display anything.\n");
    return;
  }
  RefreshPageList(informator, kFolivoPanelWidgetID, kFolivoPageListWidgetID, false);
}

void FolivoTreeListNodeObserver::AutoAttach() {
  CWidgetObserver::AutoAttach();
  AttachToWidget(kPageStatusCheckboxWidgetID, IID_IBOOLEANCONTROLDATA);
}

void FolivoTreeListNodeObserver::AutoDetach() {
  DetachFromWidget(kPageStatusCheckboxWidgetID, IID_IBOOLEANCONTROLDATA);
  CWidgetObserver::AutoDetach();
}

void FolivoTreeListNodeObserver::Update(const ClassID& theChange, ISubject* theSubject,
                                        const PMIID&, void*) {
  const WidgetID widget = WidgetOf(theSubject);
  if (theChange != kTrueStateMessage && theChange != kFalseStateMessage)
    return;
  if (widget != kPageStatusCheckboxWidgetID) {
    folivox::Trace("No Widget.\n");
    return;
  }
  if (gFolivoTreeInformator)
    gFolivoTreeInformator->StorePageStatuses(nullptr);
}
