#pragma once
// A widget of a panel is reached through the application, its panel manager, the panel and
// the panel's widgets; a caller that reports a missing link learns which one it was.

#include <layra/IPanelControlData.h>
#include <layra/IPanelMgr.h>

#include <cstdint>

namespace folivox {

/** Widget searches go down every level of a panel. */
inline constexpr std::int32_t kWidgetSearchDepth = 9999;

enum class PanelLink { kNone, kApplication, kPanelManager, kPanel, kWidgets };

/** The application's panel manager; null with `missing` naming the missing link. */
InterfacePtr<IPanelMgr> QueryPanelManager(PanelLink& missing);

/** The widgets of panel `panelID`; null with `missing` naming the missing link. */
InterfacePtr<IPanelControlData> QueryPanelWidgets(WidgetID panelID, PanelLink& missing);

/** Widget `widgetID` of panel `panelID`, searched at every depth; null when any link lacks. */
IControlView* FindPanelWidget(WidgetID panelID, WidgetID widgetID);

} // namespace folivox
