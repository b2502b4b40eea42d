#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IActionManager;
class IPanelMgr;

/** The running application, from ISession::QueryApplication. It and the managers it hands
 *  out live as long as the host and belong to the main thread. */
class IApplication : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IAPPLICATION;
  /** With one reference for the caller. */
  virtual IActionManager* QueryActionManager() const = 0;
  /** With one reference for the caller. */
  virtual IPanelMgr* QueryPanelManager() const = 0;
};
