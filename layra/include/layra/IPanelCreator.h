#pragma once
// Names the view resource a panel is built from. A class with a panel creator and the
// host's panel service provider is a page of the preferences dialog.

#include <layra/CPMUnknown.h>
#include <layra/WidgetDefs.h>

class IPanelCreator : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IPANELCREATOR;
  virtual RsrcID GetPanelRsrcID() const = 0;
};

class CPanelCreator : public CPMUnknown<IPanelCreator> {
public:
  explicit CPanelCreator(IPMUnknown* boss) : CPMUnknown<IPanelCreator>(boss) {}
};
