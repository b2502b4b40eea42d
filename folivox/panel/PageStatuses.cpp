// The ready flags of the front document's pages: in the status list, on the rows' check
// boxes and in the store, one entry per page keyed by the document's name.

#include "base/PanelWidgets.h"
#include "base/Trace.h"
#include "panel/FolivoTreeInformator.h"
#include "panel/PageListLookup.h"
#include "prefs/PreferenceAccess.h"
#include "base/FrontDocument.h"

#include <layra/CmdUtils.h>
#include <layra/IDataBase.h>
#include <layra/IPageList.h>

#include <string>
#include <string_view>
#include <utility>

namespace {

PMString MakeStatusKey(std::int32_t pageIndex) {
  PMString key(std::to_string(pageIndex) + "_status", PMString::kDontTranslateDuringCall);
  return key;
}

PMString PageStatusKey(const PMString& documentName, std::int32_t pageIndex) {
  // Built in one allocation: a store writes this for every page of the document.
  constexpr std::string_view kPrefix = "FolivoxPageStatus_";
  const PMString status = MakeStatusKey(pageIndex);
  std::string key;
  key.reserve(kPrefix.size() + documentName.GetUTF8String().size() + 1 +
              status.GetUTF8String().size());
  key.append(kPrefix).append(documentName.GetUTF8String()).append("_");
  key.append(status.GetUTF8String());
  return PMString(std::move(key), PMString::kDontTranslateDuringCall);
}

PMString FlagText(bool ready) {
  return PMString(ready ? "true" : "false", PMString::kDontTranslateDuringCall);
}

/** What the store and the page list need of one document. */
struct DocumentPages {
  InterfacePtr<IDocument> document;
  InterfacePtr<IPageList> pages;
  UIDRef reference;
  PMString name;
  PageListParts list;

  bool PageExists(std::int32_t index) const {
    if (UIDRef(reference.GetDataBase(), pages->GetNthPageUID(index)).IsValid())
      return true;
    folivox::Trace("FolivoTreeInformator:: pageUIDRef is nil.\n");
    return false;
  }
};

/** The document, its pages and the page list; nullopt after the message of the first
 *  missing part. */
std::optional<DocumentPages> FindDocumentPages(InterfacePtr<IDocument> document) {
  InterfacePtr<IPageList> pages(document, UseDefaultIID());
  if (!pages) {
    folivox::Trace("FolivoTreeInformator::Could not get IPageList. Is this really a document?");
    return std::nullopt;
  }
  const UIDRef reference = GetUIDRef(document);
  if (!reference.GetDataBase()) {
    folivox::Trace("FolivoTreeInformator:: GetDocWorkSpace() is nil.\n");
    return std::nullopt;
  }
  return DocumentPages{std::move(document), std::move(pages), reference, PMString(), {}};
}

/** Finishes FindDocumentPages once the status list is emptied: the page list and the name. */
bool FindPageListOf(DocumentPages& found) {
  std::optional<PageListParts> list = FindPageListParts();
  if (!list)
    return false;
  found.list = std::move(*list);
  found.document->GetName(found.name);
  return true;
}

} // namespace

void FolivoTreeInformator::LoadPageStatuses(const UIDRef* document) {
  InterfacePtr<IDocument> target;
  if (document)
    target.reset(static_cast<IDocument*>(document->Instantiate(IID_IDOCUMENT)));
  else
    target = QueryFrontDocument();
  if (!target) {
    folivox::Trace("FolivoTreeInformator:: Could not get IDocument from UIDRef documentRef.\n");
    return;
  }
  std::optional<DocumentPages> found = FindDocumentPages(std::move(target));
  if (!found)
    return;
  fStatuses.clear();
  if (!FindPageListOf(*found))
    return;
  fStatusDocument = found->reference;
  fStatusDocumentName = found->name;
  const NodeID root = found->list.adapter->GetRootNode();
  InterfacePtr<ICommonPreferenceData> store(GetPrefrenceData());
  for (std::int32_t i = 0; i < found->pages->GetPageCount(); ++i) {
    if (!found->PageExists(i) || !found->list.adapter->GetNthChild(root, i).IsValid())
      continue;
    const PMString key = PageStatusKey(found->name, i);
    folivox::Trace("preferenceKey = %s\n", key.GrabCString());
    bool ready = false;
    if (std::unique_ptr<PMString> value = store ? store->GetValue(key) : nullptr) {
      folivox::Trace("value = %s\n", value->GrabCString());
      ready = value->GetUTF8String() == "true";
    }
    fStatuses.push_back(PageStatusEntry{i, ready});
  }
  // Rows still showing the flags of before would be read back by the next store and
  // overwrite what was just loaded; rebuilding fills every row from the new list.
  found->list.manager->ChangeRoot(kFalse);
}

bool FolivoTreeInformator::StatusOfRow(const std::vector<PageStatusEntry>& shown,
                                       std::int32_t position, const NodeID& node,
                                       const ITreeViewMgr& manager) const {
  InterfacePtr<IControlView> row(manager.QueryWidgetFromNode(node));
  // The tree view makes widgets only for the rows on screen; a row scrolled out of view
  // keeps the flag it was last shown with.
  if (!row)
    return position < static_cast<std::int32_t>(shown.size()) &&
           shown[static_cast<std::size_t>(position)].ready;
  return GetStatusForPaletteNode(node, &manager);
}

void FolivoTreeInformator::StorePageStatuses(const std::vector<PageStatusEntry>* given) {
  InterfacePtr<IDocument> front(QueryFrontDocument());
  if (!front) {
    folivox::Trace("FolivoTreeInformator::Could not get IDocument");
    return;
  }
  std::optional<DocumentPages> found = FindDocumentPages(std::move(front));
  if (!found)
    return;
  std::vector<PageStatusEntry> previous = std::exchange(fStatuses, {});
  if (!FindPageListOf(*found))
    return;
  fStatusDocument = found->reference;
  fStatusDocumentName = found->name;
  const NodeID root = found->list.adapter->GetRootNode();
  const std::int32_t rows = found->list.adapter->GetNumChildren(root);
  InterfacePtr<ICommonPreferenceData> store(GetPrefrenceData());
  InterfacePtr<ICommonPreferenceData> data;
  InterfacePtr<ICommand> command;
  const bool writable = store && GetPreferecesForWritting(data, command);
  if (writable) {
    // Every other document's statuses and the bookkeeping entries stay in the store.
    store->AddRef();
    data->CopyFrom(store.get());
    if (std::unique_ptr<PMString> address = store->GetValue(PMString("FolivoHTTP")))
      data->SetValue(PMString("FolivoHTTP:"), *address);
  }
  std::vector<PageStatusEntry> statuses;
  for (std::int32_t i = 0; i < found->pages->GetPageCount(); ++i) {
    if (!found->PageExists(i) || i >= rows)
      continue;
    const NodeID child = found->list.adapter->GetNthChild(root, i);
    if (!child.IsValid())
      continue;
    PageStatusEntry entry{i, false};
    if (given) {
      if (i >= static_cast<std::int32_t>(given->size()))
        continue;
      entry = (*given)[static_cast<std::size_t>(i)];
    } else {
      entry.ready = StatusOfRow(previous, i, child, *found->list.manager);
    }
    if (writable)
      data->SetValue(PageStatusKey(found->name, i), FlagText(entry.ready));
    statuses.push_back(entry);
  }
  fStatuses = std::move(statuses);
  if (writable)
    CmdUtils::ProcessCommand(command);
}

void FolivoTreeInformator::ChangePageStatuses(PageStatusChange change) {
  InterfacePtr<ITreeViewController> controller(this, UseDefaultIID());
  if (!controller) {
    folivox::Trace(
        "BrindlePanelObserver::addSelectedAdvertisements exception => viewController == nil");
    return;
  }
  NodeIDList selected;
  controller->GetSelectedItems(selected);
  auto apply = [change](PageStatusEntry& entry) {
    entry.ready = change == kInvertPageStatus ? !entry.ready : change == kMakePageReady;
  };
  for (const NodeID& node : selected) {
    TreeNodePtr<IntNodeID> row(node);
    if (row && row->Get() >= 0 && row->Get() < static_cast<std::int32_t>(fStatuses.size()))
      apply(fStatuses[static_cast<std::size_t>(row->Get())]);
  }
  if (selected.empty()) {
    for (PageStatusEntry& entry : fStatuses)
      apply(entry);
  }
  RefreshPageList(this, kFolivoPanelWidgetID, kFolivoPageListWidgetID, true);
  const std::vector<PageStatusEntry> changed = fStatuses;
  StorePageStatuses(&changed);
}

bool FolivoTreeInformator::FollowFrontDocument() {
  InterfacePtr<IDocument> front(QueryFrontDocument());
  if (!front)
    return false;
  PMString name;
  front->GetName(name);
  if (GetUIDRef(front) == fStatusDocument && name == fStatusDocumentName)
    return false;
  LoadPageStatuses(nullptr);
  return GetUIDRef(front) == fStatusDocument && name == fStatusDocumentName;
}

void RefreshPageList(ITreeInformator* informator, WidgetID panelID, WidgetID listID, bool force) {
  InterfacePtr<IPanelControlData> widgets(QueryPanelWidgets(panelID));
  if (!widgets)
    return;
  InterfacePtr<ITreeViewMgr> manager(widgets->FindWidget(listID, folivox::kWidgetSearchDepth),
                                     UseDefaultIID());
  if (!manager)
    return;
  if (!informator) {
    folivox::Trace(
        "Could not get this tree ITreeInformator. This ListView will not display anything.\n");
    return;
  }
  const std::int32_t before = informator->GetPageCount();
  const std::int32_t now = informator->CountPages();
  // Rows filled from another document's flags would be stored under this one's name.
  if (informator == gFolivoTreeInformator && gFolivoTreeInformator->FollowFrontDocument()) {
    gPageListDirty = false;
    return;
  }
  if (before == now && !gPageListDirty && !force)
    return;
  manager->ChangeRoot(kFalse);
  gPageListDirty = false;
}
