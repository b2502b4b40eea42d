#pragma once
// The page list of the panel: one row per page of the front document with its number and
// its ready flag, and the ready flags in memory (the status list) and in the store.

#include "panel/CTreeInformator.h"
#include "panel/PageStatusEntry.h"

#include <layra/UIDRef.h>

class ITreeViewMgr;

/** How ChangePageStatuses changes each flag. */
enum PageStatusChange : std::int32_t {
  kInvertPageStatus = 0,
  kMakePageReady = 1,
  kMakePageNotReady = 2,
};

class FolivoTreeInformator : public CTreeInformator {
public:
  explicit FolivoTreeInformator(IPMUnknown* boss);
  ~FolivoTreeInformator() override;

  std::int32_t GetRowStyle() override;
  std::int32_t GetRowWidgetRsrcID() override;
  std::int32_t CountPages() override;
  std::int32_t GetPageCount() override { return fPageCount; }
  bool16 ApplyDataToWidget(const NodeID& node, IPanelControlData* rowWidgets,
                           std::int32_t message) override;

  /** Whether the check box of `node`'s row is on; false when the row is not on screen. */
  bool16 GetStatusForPaletteNode(const NodeID& node, const ITreeViewMgr* treeViewMgr) const;

  /** Rebuilds the status list from the store for `document`, or the front document. */
  void LoadPageStatuses(const UIDRef* document);
  /** Writes the front document's flags to the store, from `given` or, when it is null, from
   *  the rows; rebuilds the status list from what was written. */
  void StorePageStatuses(const std::vector<PageStatusEntry>* given);
  /** Changes the flags of the selected rows, or of all rows, and stores them. */
  void ChangePageStatuses(PageStatusChange change);
  void InvertPageStatuses() { ChangePageStatuses(kInvertPageStatus); }
  void MakePagesReady() { ChangePageStatuses(kMakePageReady); }
  void MakePagesNotReady() { ChangePageStatuses(kMakePageNotReady); }

  const std::vector<PageStatusEntry>& GetPageStatuses() const { return fStatuses; }
  /** Loads the statuses of the front document when the list holds another document's;
   *  true when it loaded them (and so rebuilt the rows). */
  bool FollowFrontDocument();

private:
  bool StatusOfRow(const std::vector<PageStatusEntry>& shown, std::int32_t position,
                   const NodeID& node, const ITreeViewMgr& manager) const;

  std::int32_t fPageCount = 0;
  std::vector<PageStatusEntry> fStatuses;
  // The document the status list belongs to, by reference and by name.
  UIDRef fStatusDocument;
  PMString fStatusDocumentName;
};

/** The page list's informator; null until the panel's list is made. */
extern FolivoTreeInformator* gFolivoTreeInformator;
/** Set when the list must be rebuilt at the next refresh whatever its page count. */
extern bool gPageListDirty;

/** Rebuilds the rows of list `listID` in panel `panelID` when the front document's page count
 *  changed, the dirty mark is set, or `force`. */
void RefreshPageList(ITreeInformator* informator, WidgetID panelID, WidgetID listID, bool force);
/** The refresh after a send: finds the informator through the panel's list. */
void RefreshPanelPageList();
/** Shows on every row on screen when its page was last sent and how that went. */
void RefreshPageMarks();
