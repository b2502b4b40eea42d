#include "panel/PageListLookup.h"

#include "frame/Alerts.h"
#include "frame/FolivoxIDs.h"
#include "frame/Trace.h"

#include <layra/IApplication.h>
#include <layra/IPanelMgr.h>
#include <layra/ISession.h>

namespace {
constexpr std::int32_t kSearchDepth = 9999;

void Alert(const char* text) {
  folivox::ShowReport(PMString(text, PMString::kDontTranslateDuringCall), kErrorIcon);
}
} // namespace

InterfacePtr<IPanelControlData> QueryPanelWidgets(WidgetID panelID) {
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  if (!application) {
    Alert("gSession->QueryApplication == NULL.");
    return {};
  }
  InterfacePtr<IPanelMgr> panels(application->QueryPanelManager());
  if (!panels) {
    Alert("QueryPanelManager == NULL.");
    return {};
  }
  IControlView* panel = panels->GetPanelFromWidgetID(panelID);
  if (!panel) {
    Alert("GetPanelFromWidgetID == NULL.");
    return {};
  }
  InterfacePtr<IPanelControlData> widgets(panel, UseDefaultIID());
  if (!widgets)
    Alert("iPanelControlData == NULL.");
  return widgets;
}

std::optional<PageListParts> FindPageListParts() {
  InterfacePtr<IPanelControlData> widgets(QueryPanelWidgets(kFolivoPanelWidgetID));
  if (!widgets)
    return std::nullopt;
  IControlView* list = widgets->FindWidget(kFolivoPageListWidgetID, kSearchDepth);
  if (!list) {
    folivox::Trace("IControlView is nil\n");
    return std::nullopt;
  }
  PageListParts parts{InterfacePtr<ITreeViewHierarchyAdapter>(list, UseDefaultIID()),
                      InterfacePtr<ITreeViewMgr>(list, UseDefaultIID())};
  if (!parts.adapter) {
    folivox::Trace("iTreeHierarchyAdapter is nil\n");
    return std::nullopt;
  }
  if (!parts.manager) {
    folivox::Trace("ITreeViewMgr is nil\n");
    return std::nullopt;
  }
  return parts;
}
