#pragma once
// What a front end needs to show the host's widgets: it watches changes and reads the
// widgets through their interfaces; input goes in through the same interfaces (control
// data, event handlers), never around them.

#include <layra/IControlView.h>

#include <string>
#include <vector>

namespace layra {

class LAYRA_API ViewWatcher {
public:
  virtual ~ViewWatcher() = default;
  /** A widget changed: its data, frame, state, children, or whether it is shown. */
  virtual void ViewChanged(IControlView* view) = 0;
  /** A palette or a dialog came on screen or went off it. */
  virtual void WindowShown(IControlView* root, bool shown) = 0;
};

/** The one watcher (null: none); the front end sets it while it runs. */
LAYRA_API void SetViewWatcher(ViewWatcher* watcher);

struct PaletteEntry {
  WidgetID widget;
  std::string title;
  bool shown = false;
};

struct MenuEntry {
  ActionID action;
  std::string text;
  bool separator = false;
  bool enabled = true;
  double position = 0;
};

/** The palettes the plug-ins declare, in the order they were declared. */
LAYRA_API std::vector<PaletteEntry> Palettes();
/** The entries of a palette's panel menu, sorted by position. */
LAYRA_API std::vector<MenuEntry> PanelMenu(WidgetID palette);
/** The bytes of a plug-in's image of `type` ("png" or "png-rollover"); empty when none. */
LAYRA_API std::string FindImage(PluginID plugin, RsrcID id, const std::string& type = "png");
/** The text a person sees on a widget. */
LAYRA_API std::string VisibleText(IControlView* view);
/** What the widget is, in one word: panel, text, editbox, checkbox, button, ... */
LAYRA_API std::string WidgetKindName(IControlView* view);

} // namespace layra
