#include "panel/FolivoTreeInformator.h"

#include "base/ActionRequests.h"
#include "base/ImplementationTable.h"
#include "base/PanelWidgets.h"
#include "base/Trace.h"
#include "publish/FolivoActionComponent.h"
#include "base/FrontDocument.h"
#include "publish/PendingBatches.h"
#include "publish/SendHistory.h"

#include <layra/IBooleanControlData.h>
#include <layra/IPageList.h>
#include <layra/IPanelControlData.h>
#include <layra/ITextControlData.h>
#include <layra/ITreeViewMgr.h>

#include <cstdlib>

FolivoTreeInformator* gFolivoTreeInformator = nullptr;
bool gPageListDirty = false;

namespace {
folivox::RegisterImplementation<FolivoTreeInformator>
    gRegisterTreeInformator(kFolivoTreeInformatorImpl);

constexpr char kNoInformator[] =
    "Could not get this tree ITreeInformator. This ListView will not display anything.\n";

/** A row's position in the list; -1 when the node is not a list node. */
std::int32_t PositionOf(const NodeID& node) {
  TreeNodePtr<IntNodeID> row(node);
  return row ? row->Get() : -1;
}

/** The first page number of the parsed document name; 0 when it is not a number. */
std::int32_t FirstPageNumber(const FolivoActionComponent& controller) {
  return static_cast<std::int32_t>(std::strtol(controller.FirstPageText().c_str(), nullptr, 10));
}

/** How the last send of a page went, from the send history: its mark and its tip. */
struct PageMark {
  PMString text;
  PMString tip;
};

// A page counts as sent by a send that sent all its files; a send that ended before its files
// went (failed, cancelled) marks it as such.
std::optional<SendOutcome> PageOutcome(const SendRecord& record, std::int32_t page) {
  if (record.outcome == SendOutcome::kNothingSent || page < record.firstPage ||
      page > record.lastPage)
    return std::nullopt;
  bool any = false;
  bool all = true;
  for (const SentFile& file : record.files) {
    if (file.page != page)
      continue;
    any = true;
    all = all && file.outcome == FileOutcome::kSent;
  }
  if (any && all)
    return SendOutcome::kSent;
  // A re-send carries only the files its batch left; a page it had none of is told by the
  // send before it.
  if (!any && record.kind == SendKind::kResend)
    return std::nullopt;
  return record.outcome == SendOutcome::kSent ? SendOutcome::kFailed : record.outcome;
}

PageMark MarkOf(const std::string& document, std::int32_t page) {
  if (const std::size_t unsent = UnsentFilesOfPage(document, page); unsent > 0)
    return {PMString("\u26A0", PMString::kDontTranslateDuringCall),
            PMString("Not all sent: " + std::to_string(unsent) +
                         " files of this page wait; \u201CRe-send unsent files\u201D sends them",
                     PMString::kDontTranslateDuringCall)};
  const std::vector<SendRecord>& history = SendHistory();
  for (auto record = history.rbegin(); record != history.rend(); ++record) {
    if (record->document != document)
      continue;
    const std::optional<SendOutcome> outcome = PageOutcome(*record, page);
    if (!outcome)
      continue;
    const std::string when = LocalTimeText(record->when);
    auto plain = [](const std::string& text) {
      return PMString(text, PMString::kDontTranslateDuringCall);
    };
    switch (*outcome) {
    case SendOutcome::kSent:
      return {plain("\u2714"), plain("Last sent " + when + " to " + record->server)};
    case SendOutcome::kCancelled:
      return {plain("\u2298"), plain("Last send " + when + " was cancelled before this page went")};
    default:
      return {plain("\u2718"), plain("Last send " + when + " failed: " + record->error)};
    }
  }
  return {};
}

void ShowMark(IPanelControlData& rowWidgets, const std::string& document, std::int32_t page) {
  IControlView* markWidget =
      rowWidgets.FindWidget(kFolivoPageSentMarkWidgetID, folivox::kWidgetSearchDepth);
  InterfacePtr<ITextControlData> mark(markWidget, UseDefaultIID());
  if (!mark)
    return;
  const PageMark shown = MarkOf(document, page);
  markWidget->SetToolTipText(shown.tip);
  mark->SetString(shown.text, kTrue, kTrue);
}

bool ParseFrontName(const IDocument& document) {
  PMString name;
  document.GetName(name);
  return sharedActionComponent && sharedActionComponent->ParseDocumentName(name) == 0;
}
} // namespace

FolivoTreeInformator::FolivoTreeInformator(IPMUnknown* boss) : CTreeInformator(boss) {
  gFolivoTreeInformator = this;
}

FolivoTreeInformator::~FolivoTreeInformator() {
  // The host may close the panel before it quits; nobody may reach a list that is gone.
  if (gFolivoTreeInformator == this)
    gFolivoTreeInformator = nullptr;
}

std::int32_t FolivoTreeInformator::GetRowStyle() {
  gFolivoTreeInformator = this;
  return kFolivoPageRowStyle;
}

std::int32_t FolivoTreeInformator::GetRowWidgetRsrcID() {
  gFolivoTreeInformator = this;
  return static_cast<std::int32_t>(kFolivoPageRowRsrcID.Get());
}

std::int32_t FolivoTreeInformator::CountPages() {
  gFolivoTreeInformator = this;
  fPageCount = 0;
  InterfacePtr<IDocument> document(QueryFrontDocument());
  InterfacePtr<IPageList> pages(document, UseDefaultIID());
  if (pages)
    fPageCount = pages->GetPageCount();
  return fPageCount;
}

bool16 FolivoTreeInformator::ApplyDataToWidget(const NodeID& node, IPanelControlData* rowWidgets,
                                               std::int32_t) {
  const std::int32_t position = PositionOf(node);
  // The internal action runs the controller's prologue, which publishes the controller.
  folivox::PerformActionInActiveContext(kFolivoInternalActionID);
  if (position < 0 || !rowWidgets)
    return kTrue;
  InterfacePtr<IDocument> document(QueryFrontDocument());
  if (!document) {
    folivox::Trace("FolivoTreeInformator::ApplyDataToWidget::Could not get IDocument");
    return kTrue;
  }
  IControlView* nameWidget =
      rowWidgets->FindWidget(kFolivoPageNameWidgetID, folivox::kWidgetSearchDepth);
  if (!nameWidget)
    return kTrue;
  InterfacePtr<ITextControlData> text(nameWidget, UseDefaultIID());
  if (!text) {
    folivox::Trace("textControlData is nil!\n");
    return kTrue;
  }
  text->SetString(PMString("0x122500kFolivoCouldNotDownloadConfigFile"), kTrue, kTrue);
  // Without a page number the row still shows its flag: the next store reads the flags back
  // from the rows, and a row left blank would store its page as not ready.
  if (ParseFrontName(*document)) {
    PMString number;
    number.AppendNumber(FirstPageNumber(*sharedActionComponent) + position);
    text->SetString(number, kTrue, kTrue);
    PMString name;
    document->GetName(name);
    ShowMark(*rowWidgets, name.GetUTF8String(), FirstPageNumber(*sharedActionComponent) + position);
  } else {
    folivox::Trace("Could not parse documentName using regex functions.\n");
  }
  IControlView* box =
      rowWidgets->FindWidget(kPageStatusCheckboxWidgetID, folivox::kWidgetSearchDepth);
  if (!box)
    return kTrue;
  InterfacePtr<IBooleanControlData> state(box, UseDefaultIID());
  if (!state) {
    folivox::Trace("checkboxstate is nil!\n");
    return kTrue;
  }
  const bool ready = position < static_cast<std::int32_t>(fStatuses.size()) &&
                     fStatuses[static_cast<std::size_t>(position)].ready;
  if (ready)
    state->Select(kTrue, kTrue);
  else
    state->Deselect(kTrue, kTrue);
  return kTrue;
}

bool16 FolivoTreeInformator::GetStatusForPaletteNode(const NodeID& node,
                                                     const ITreeViewMgr* treeViewMgr) const {
  if (PositionOf(node) < 0 || !treeViewMgr)
    return kFalse;
  InterfacePtr<IControlView> row(treeViewMgr->QueryWidgetFromNode(node));
  if (!row) {
    folivox::Trace("FolivoTreeInformator::GetStatusForPaletteNode::IControlView is nil.\n");
    return kFalse;
  }
  InterfacePtr<IPanelControlData> widgets(row, UseDefaultIID());
  if (!widgets) {
    folivox::Trace("FolivoTreeInformator::GetStatusForPaletteNode::IPanelControlData is nil.\n");
    return kFalse;
  }
  IControlView* box = widgets->FindWidget(kPageStatusCheckboxWidgetID, folivox::kWidgetSearchDepth);
  if (!box) {
    folivox::Trace("FolivoTreeInformator::GetStatusForPaletteNode::IControlView is nil.\n");
    return kFalse;
  }
  InterfacePtr<IBooleanControlData> state(box, UseDefaultIID());
  if (!state) {
    folivox::Trace("FolivoTreeInformator::GetStatusForPaletteNode::IBooleanControlData is nil!\n");
    return kFalse;
  }
  return state->IsSelected();
}

void RefreshPanelPageList() {
  folivox::PanelLink missing = folivox::PanelLink::kNone;
  InterfacePtr<IPanelControlData> widgets(
      folivox::QueryPanelWidgets(kFolivoPanelWidgetID, missing));
  if (!widgets) {
    // Before the panel is made there is nothing to refresh; a panel without widgets is a fault.
    if (missing == folivox::PanelLink::kWidgets)
      folivox::Trace("IPanelControlData is nil.\n");
    return;
  }
  IControlView* list = widgets->FindWidget(kFolivoPageListWidgetID, folivox::kWidgetSearchDepth);
  InterfacePtr<ITreeInformator> informator(list, UseDefaultIID());
  if (!informator) {
    folivox::Trace("%s", kNoInformator);
    return;
  }
  RefreshPageList(informator, kFolivoPanelWidgetID, kFolivoPageListWidgetID, false);
}

void RefreshPageMarks() {
  InterfacePtr<ITreeViewMgr> tree(
      folivox::FindPanelWidget(kFolivoPanelWidgetID, kFolivoPageListWidgetID), UseDefaultIID());
  InterfacePtr<IDocument> document(QueryFrontDocument());
  if (!tree || !document || !sharedActionComponent)
    return;
  PMString name;
  document->GetName(name);
  if (sharedActionComponent->ParseDocumentName(name) != 0)
    return;
  const std::int32_t first = FirstPageNumber(*sharedActionComponent);
  InterfacePtr<IPageList> pages(document, UseDefaultIID());
  for (std::int32_t row = 0; pages && row < pages->GetPageCount(); ++row) {
    InterfacePtr<IControlView> rowView(tree->QueryWidgetFromNode(IntNodeID::Create(row)));
    InterfacePtr<IPanelControlData> rowWidgets(rowView, UseDefaultIID());
    if (rowWidgets)
      ShowMark(*rowWidgets, name.GetUTF8String(), first + row);
  }
}
