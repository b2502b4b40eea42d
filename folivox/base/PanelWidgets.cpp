#include "base/PanelWidgets.h"

#include <layra/IApplication.h>
#include <layra/ISession.h>

namespace folivox {

InterfacePtr<IPanelMgr> QueryPanelManager(PanelLink& missing) {
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  if (!application) {
    missing = PanelLink::kApplication;
    return {};
  }
  InterfacePtr<IPanelMgr> panels(application->QueryPanelManager());
  missing = panels ? PanelLink::kNone : PanelLink::kPanelManager;
  return panels;
}

InterfacePtr<IPanelControlData> QueryPanelWidgets(WidgetID panelID, PanelLink& missing) {
  InterfacePtr<IPanelMgr> panels(QueryPanelManager(missing));
  if (!panels)
    return {};
  IControlView* panel = panels->GetPanelFromWidgetID(panelID);
  if (!panel) {
    missing = PanelLink::kPanel;
    return {};
  }
  InterfacePtr<IPanelControlData> widgets(panel, UseDefaultIID());
  missing = widgets ? PanelLink::kNone : PanelLink::kWidgets;
  return widgets;
}

IControlView* FindPanelWidget(WidgetID panelID, WidgetID widgetID) {
  PanelLink missing = PanelLink::kNone;
  InterfacePtr<IPanelControlData> widgets(QueryPanelWidgets(panelID, missing));
  return widgets ? widgets->FindWidget(widgetID, kWidgetSearchDepth) : nullptr;
}

} // namespace folivox
