#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IDocument;

class IActiveContext : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IACTIVECONTEXT;
  /** The front document, not referenced; null when none is open. */
  virtual IDocument* GetContextDocument() const = 0;
};
