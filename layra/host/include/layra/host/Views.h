#pragma once
// What a front end needs to show the host's widgets: it watches changes and reads the
// widgets through their interfaces; input goes in through the same interfaces (control
// data, event handlers), never around them.

#include <layra/IControlView.h>

#include <filesystem>
#include <functional>
#include <optional>
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
  /** A widget is being destroyed: whatever stands for it goes, nothing of it may be read. */
  virtual void ViewGone(IControlView*) {}
  /** The host changes many widgets in one go (a tree view lays out its rows): what changed
   *  may be shown once, when the outermost batch ends. Batches nest. */
  virtual void Batch(bool /*begins*/) {}
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
  /** In the main menu: the menu it goes in, submenus after ':' ("&Test" or "&Test:More"). */
  std::string menu;
};

/** The palettes the plug-ins declare, in the order they were declared. */
LAYRA_API std::vector<PaletteEntry> Palettes();
/** The entries of a palette's panel menu, sorted by position. */
LAYRA_API std::vector<MenuEntry> PanelMenu(WidgetID palette);
/** The entries the plug-ins put in the main menu (menu paths "Main:Menu" and
 *  "Main:Menu:Submenu", each part a string key or a text), sorted by position. */
LAYRA_API std::vector<MenuEntry> MainMenu();
/** A menu text as it reads, without the '&' that marks its keyboard letter. */
LAYRA_API std::string MenuTextShown(std::string_view text);
/** The bytes of a plug-in's image of `type` ("png" or "png-rollover"); empty when none. */
LAYRA_API std::string FindImage(PluginID plugin, RsrcID id, const std::string& type = "png");
/** Rows of a tree view in all (shown or not), and the first one on screen, from 0; both 0
 *  for a view that is no tree view. */
LAYRA_API std::int32_t TreeRowCount(IControlView* tree);
LAYRA_API std::int32_t TreeFirstRow(IControlView* tree);
/** Scrolls a tree view so that `row` (from 0) is its first row on screen. */
LAYRA_API void ScrollTree(IControlView* tree, std::int32_t row);

/** How a front end asks a person for a folder: the folder, or nullopt when cancelled. */
using FolderAsker = std::function<std::optional<std::filesystem::path>(
    const std::string& title, const std::filesystem::path& start)>;
/** The folder chooser takes queued answers first, then asks `asker` (null: none). */
LAYRA_API void SetFolderAsker(FolderAsker asker);
/** Called by the host between the steps of long work done on the main thread (each page
 *  rendered, say), so that a front end can repaint; null: none. */
LAYRA_API void SetBusyHook(std::function<void()> hook);
LAYRA_API void RunBusyHook();

/** A dialog's title: the name its view resource gives it, or for the preferences dialog
 *  "Preferences — " and its page's name; empty when it has none. */
LAYRA_API std::string DialogTitle(IControlView* root);

/** The text a person sees on a widget. */
LAYRA_API std::string VisibleText(IControlView* view);
/** What the widget is, in one word: panel, text, editbox, checkbox, button, ... */
LAYRA_API std::string WidgetKindName(IControlView* view);

} // namespace layra
