#pragma once
// What the rest of the plug-in asks of the page panel's list: the ready
// statuses of the front document's pages, kept in memory and in the store.

#include "frame/FolivoxIDs.h"
#include "panel/PageStatusEntry.h"

#include <layra/IPMUnknown.h>
#include <layra/UIDRef.h>

#include <vector>

class ITreeInformator : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITREEINFORMATOR;

  virtual void MakePagesReady() = 0;
  virtual void MakePagesNotReady() = 0;
  virtual void InvertPageStatuses() = 0;
  virtual void LoadPageStatuses(const UIDRef& document) = 0;
  virtual void StorePageStatuses() = 0;
  /** The statuses of the rows, as the manifests report them. */
  virtual std::vector<PageStatusEntry> GetPageStatuses() const = 0;
  /** Rebuilds the rows when the front document's pages changed. */
  virtual void RefreshPageList() = 0;
};

/** The page list's informator; null while the panel's list does not exist. */
extern ITreeInformator* gFolivoTreeInformator;
/** Set when the list must be rebuilt because the document changed its name. */
extern bool gPageListDirty;
