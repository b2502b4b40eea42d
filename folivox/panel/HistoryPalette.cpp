#include "panel/HistoryPalette.h"

#include "base/ActionRequests.h"
#include "base/FolivoxIDs.h"
#include "base/ImplementationTable.h"
#include "base/PanelWidgets.h"
#include "publish/PendingBatches.h"
#include "publish/Records.h"
#include "publish/SendHistory.h"

#include <layra/IBooleanControlData.h>
#include <layra/IControlView.h>
#include <layra/IPanelControlData.h>
#include <layra/ISubject.h>
#include <layra/ITextControlData.h>
#include <layra/ITreeViewMgr.h>

namespace {
using SendsAdapter = HistoryListAdapter<HistoryList::kSends>;
using SendsManager = HistoryListManager<HistoryList::kSends>;
using FilesAdapter = HistoryListAdapter<HistoryList::kFiles>;
using FilesManager = HistoryListManager<HistoryList::kFiles>;
folivox::RegisterImplementation<SendsAdapter> gRegisterListAdapter(kHistoryListAdapterImpl);
folivox::RegisterImplementation<SendsManager> gRegisterListManager(kHistoryListManagerImpl);
folivox::RegisterImplementation<FilesAdapter> gRegisterFilesAdapter(kHistoryFilesAdapterImpl);
folivox::RegisterImplementation<FilesManager> gRegisterFilesManager(kHistoryFilesManagerImpl);
folivox::RegisterImplementation<HistoryPaletteObserver>
    gRegisterPaletteObserver(kHistoryPaletteObserverImpl);

// The send whose files the palette shows, counted from the newest; -1: none.
std::int32_t gSelectedSend = -1;

PMString Plain(const std::string& text) {
  return PMString(text, PMString::kDontTranslateDuringCall);
}

std::int32_t PositionOf(const NodeID& node) {
  TreeNodePtr<IntNodeID> row(node);
  return row ? row->Get() : -1;
}

/** The send at `position` of the list, newest first; null when there is none. */
const SendRecord* SendAt(std::int32_t position) {
  const std::vector<SendRecord>& history = SendHistory();
  if (position < 0 || static_cast<std::size_t>(position) >= history.size())
    return nullptr;
  return &history[history.size() - 1 - static_cast<std::size_t>(position)];
}

// The open batch the selected send left; empty (every open batch) when it left none.
std::string SelectedOpenBatch() {
  const SendRecord* send = SendAt(gSelectedSend);
  if (!send || send->batch.empty() || StateOfBatch(send->batch) != BatchState::kPending)
    return {};
  return send->batch;
}

const char* Mark(SendOutcome outcome) {
  switch (outcome) {
  case SendOutcome::kSent:
    return "\u2714";
  case SendOutcome::kFailed:
    return "\u2718";
  case SendOutcome::kCancelled:
    return "\u2298";
  case SendOutcome::kNothingSent:
    break;
  }
  return "\u2013";
}

void SetText(IPanelControlData* widgets, WidgetID id, const std::string& text,
             const std::string& tip = {}) {
  IControlView* view = widgets ? widgets->FindWidget(id, folivox::kWidgetSearchDepth) : nullptr;
  InterfacePtr<ITextControlData> data(view, UseDefaultIID());
  if (!data)
    return;
  view->SetToolTipText(Plain(tip));
  data->SetString(Plain(text), kTrue, kTrue);
}

std::string FileRow(const SentFile& file) {
  return std::string(OutcomeWord(file.outcome)) + "  page " + std::to_string(file.page) + "  " +
         file.name + "  " + SizeText(file.bytes);
}

IControlView* PaletteWidget(WidgetID id) {
  return folivox::FindPanelWidget(kFolivoHistoryPanelWidgetID, id);
}

void Rebuild(WidgetID list) {
  InterfacePtr<ITreeViewMgr> tree(PaletteWidget(list), UseDefaultIID());
  if (tree)
    tree->ChangeRoot();
}

} // namespace

template <HistoryList kList> std::int32_t HistoryListAdapter<kList>::GetNumListItems() const {
  if constexpr (kList == HistoryList::kSends)
    return static_cast<std::int32_t>(SendHistory().size());
  const SendRecord* send = SendAt(gSelectedSend);
  return send ? static_cast<std::int32_t>(send->files.size()) : 0;
}

template <HistoryList kList> void HistoryListManager<kList>::RegisterStyles() {
  if constexpr (kList == HistoryList::kSends)
    this->RegisterStyleWidget(kFolivoHistoryRowStyle,
                              static_cast<std::int32_t>(kFolivoHistoryRowRsrcID.Get()),
                              kFolivoPluginID);
  else
    this->RegisterStyleWidget(kFolivoHistoryFileRowStyle,
                              static_cast<std::int32_t>(kFolivoHistoryFileRowRsrcID.Get()),
                              kFolivoPluginID);
}

template <HistoryList kList>
bool16 HistoryListManager<kList>::ApplyDataToWidget(const NodeID& node, IPanelControlData* widgets,
                                                    std::int32_t) const {
  const std::int32_t position = PositionOf(node);
  if constexpr (kList == HistoryList::kSends) {
    if (const SendRecord* send = SendAt(position)) {
      SetText(widgets, kFolivoHistoryMarkWidgetID, Mark(send->outcome), OutcomeWord(send->outcome));
      // Two lines, so that a narrow palette cuts neither the send nor how it went; the tip has
      // both whole.
      const SendDescription description = DescribeSend(*send, BatchNote(*send));
      const std::string whole = SendSummary(*send, BatchNote(*send));
      SetText(widgets, kFolivoHistoryTextWidgetID, description.what, whole);
      SetText(widgets, kFolivoHistoryDetailWidgetID, description.how, whole);
    }
    return kTrue;
  }
  const SendRecord* send = SendAt(gSelectedSend);
  if (send && position >= 0 && static_cast<std::size_t>(position) < send->files.size())
    SetText(widgets, kFolivoHistoryFileTextWidgetID,
            FileRow(send->files[static_cast<std::size_t>(position)]));
  return kTrue;
}

void HistoryPaletteObserver::AutoAttach() {
  AttachToWidget(kFolivoHistoryListWidgetID, IID_ITREEVIEWCONTROLLER);
  AttachToWidget(kFolivoHistoryResendButtonWidgetID, IID_IBOOLEANCONTROLDATA);
  AttachToWidget(kFolivoHistoryDiscardButtonWidgetID, IID_IBOOLEANCONTROLDATA);
}

void HistoryPaletteObserver::AutoDetach() {
  DetachFromWidget(kFolivoHistoryDiscardButtonWidgetID, IID_IBOOLEANCONTROLDATA);
  DetachFromWidget(kFolivoHistoryResendButtonWidgetID, IID_IBOOLEANCONTROLDATA);
  DetachFromWidget(kFolivoHistoryListWidgetID, IID_ITREEVIEWCONTROLLER);
}

void HistoryPaletteObserver::Update(const ClassID& theChange, ISubject* theSubject, const PMIID&,
                                    void*) {
  if (theChange == kTrueStateMessage) {
    InterfacePtr<IControlView> button(theSubject, UseDefaultIID());
    if (button && button->GetWidgetID() == kFolivoHistoryDiscardButtonWidgetID)
      DiscardPendingBatches(SelectedOpenBatch());
    else
      folivox::PerformActionInActiveContext(kFolivoResendActionID);
    return;
  }
  if (theChange != kListSelectionChangedMessage)
    return;
  InterfacePtr<ITreeViewController> controller(theSubject, UseDefaultIID());
  NodeIDList selected;
  if (controller)
    controller->GetSelectedItems(selected);
  gSelectedSend = selected.empty() ? -1 : PositionOf(selected.front());
  Rebuild(kFolivoHistoryFilesWidgetID);
}

void RefreshHistoryPalette() {
  // A new send comes first and every row moves down one: the selection starts afresh.
  gSelectedSend = -1;
  InterfacePtr<ITreeViewController> controller(PaletteWidget(kFolivoHistoryListWidgetID),
                                               UseDefaultIID());
  if (controller)
    controller->DeselectAll(kFalse);
  Rebuild(kFolivoHistoryListWidgetID);
  Rebuild(kFolivoHistoryFilesWidgetID);
}
