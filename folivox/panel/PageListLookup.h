#pragma once
// The chain from the application to the panel's page list: application, panel manager,
// panel, its widgets, the list widget and its adapter and manager. A missing link of the
// first four is shown to the user; the page list's operations share the chain.

#include <layra/IPanelControlData.h>
#include <layra/ITreeViewHierarchyAdapter.h>
#include <layra/ITreeViewMgr.h>

#include <optional>

/** The widgets of panel `panelID`; null after an alert naming the missing link. */
InterfacePtr<IPanelControlData> QueryPanelWidgets(WidgetID panelID);

struct PageListParts {
  InterfacePtr<ITreeViewHierarchyAdapter> adapter;
  InterfacePtr<ITreeViewMgr> manager;
};

/** The page list's adapter and manager; nullopt after an alert or a line on stdout. */
std::optional<PageListParts> FindPageListParts();
