#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IActionManager;
class IPanelMgr;

class IApplication : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IAPPLICATION;
  virtual IActionManager* QueryActionManager() const = 0;
  virtual IPanelMgr* QueryPanelManager() const = 0;
};
