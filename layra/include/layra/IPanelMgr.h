#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>
#include <layra/PMString.h>

class IControlView;

class IPanelMgr : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IPANELMGR;
  virtual bool IsPanelWithWidgetIDShown(WidgetID panel) const = 0;
  /** Shows the panel; false when no plug-in declares it. */
  virtual bool ShowPanelByWidgetID(WidgetID panel, bool forceShow = false) = 0;
  virtual bool HidePanelByWidgetID(WidgetID panel) = 0;
  virtual PMString GetPanelTitle(WidgetID panel) const = 0;
  /** The view of a palette or of a preferences page on screen, not referenced; null when
   *  no such panel exists. */
  virtual IControlView* GetPanelFromWidgetID(WidgetID panel) const = 0;
};
