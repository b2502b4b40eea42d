#include "panel/PageListLookup.h"

#include "base/Alerts.h"
#include "base/FolivoxIDs.h"
#include "base/PanelWidgets.h"
#include "base/Trace.h"

namespace {
// What the user is told when a link of the chain to the panel's widgets is missing.
const char* MissingLinkText(folivox::PanelLink missing) {
  switch (missing) {
  case folivox::PanelLink::kApplication:
    return "gSession->QueryApplication == NULL.";
  case folivox::PanelLink::kPanelManager:
    return "QueryPanelManager == NULL.";
  case folivox::PanelLink::kPanel:
    return "GetPanelFromWidgetID == NULL.";
  case folivox::PanelLink::kWidgets:
  case folivox::PanelLink::kNone:
    break;
  }
  return "iPanelControlData == NULL.";
}
} // namespace

InterfacePtr<IPanelControlData> QueryPanelWidgets(WidgetID panelID) {
  folivox::PanelLink missing = folivox::PanelLink::kNone;
  InterfacePtr<IPanelControlData> widgets(folivox::QueryPanelWidgets(panelID, missing));
  if (!widgets)
    folivox::ShowPlainReport(MissingLinkText(missing), kErrorIcon);
  return widgets;
}

std::optional<PageListParts> FindPageListParts() {
  InterfacePtr<IPanelControlData> widgets(QueryPanelWidgets(kFolivoPanelWidgetID));
  if (!widgets)
    return std::nullopt;
  IControlView* list = widgets->FindWidget(kFolivoPageListWidgetID, folivox::kWidgetSearchDepth);
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
