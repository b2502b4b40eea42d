#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IDocument;
class ISelectionManager;

class IActiveContext : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IACTIVECONTEXT;
  /** The front document, not referenced; null when none is open. */
  virtual IDocument* GetContextDocument() const = 0;
  /** The selection in the front document, not referenced; never null. */
  virtual ISelectionManager* GetContextSelection() const = 0;
};
