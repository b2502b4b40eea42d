#pragma once
// What a plug-in declares in its resources, as the host reads them.

#include <layra/PMRect.h>
#include <layra/host/ObjectModel.h>
#include <layra/host/Result.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace layra {

struct ActionDeclaration {
  ActionID id;
  ClassID owner;
  std::string titleKey;
  std::string area;
};

struct MenuDeclaration {
  ActionID action;
  std::string path;
  std::string titleKey;
  double position = 0;
  /** A menu path that ends in ":-" is a separator. */
  bool IsSeparator() const { return path.size() >= 2 && path.ends_with(":-"); }
};

struct PanelDeclaration {
  RsrcID resource;
  WidgetID widget;
  ClassID widgetClass;
  std::string titleKey;
  ActionID toggleAction;
  bool resizable = false;
  /** The key that names the panel's menu: menu entries whose path is this key. */
  std::string menuKey;
  PluginID plugin;
};

/** One widget of a view resource and the widgets inside it. */
struct WidgetDeclaration {
  /** A host widget class by name (kButtonWidgetBoss) or any class by number. */
  std::string widgetClass;
  WidgetID id;
  PMRect frame;
  /** FrameBinding bits: the parent's edges the widget follows. */
  std::uint32_t binding = 0;
  /** A string-table key or a plain text. */
  std::string text;
  RsrcID icon;
  bool password = false;
  bool hidden = false;
  std::vector<WidgetDeclaration> children;
};

struct ViewDeclaration {
  RsrcID id;
  WidgetDeclaration root;
};

/** An image of the plug-in (the bytes of a PNG file), by ID and type. */
struct ImageDeclaration {
  RsrcID id;
  std::string type;
  std::string bytes;
};

struct ToolTipDeclaration {
  WidgetID widget;
  std::string key;
};

struct VersionDeclaration {
  std::string pluginVersion;
  std::string hostVersion;
  std::string text;
};

struct PluginResources {
  PluginID id;
  std::string name;
  std::vector<ClassDescription> classes;
  std::vector<std::pair<ClassID, InterfaceBinding>> addIns;
  std::vector<ActionDeclaration> actions;
  std::vector<MenuDeclaration> menus;
  std::vector<PanelDeclaration> panels;
  std::vector<ToolTipDeclaration> toolTips;
  std::vector<ViewDeclaration> views;
  std::vector<ImageDeclaration> images;
  /** Locale code to the name of its string table. */
  std::vector<std::pair<int, std::string>> localeIndex;
  std::map<std::string, std::map<std::string, std::string>> stringTables;
  /** Tables whose keys are shown in every locale as they are written. */
  std::vector<std::string> untranslatedTables;
  std::optional<VersionDeclaration> version;
};

/** The files of a plug-in library's resource archive (file name -> bytes). */
Result<std::map<std::string, std::string>>
ReadResourceArchive(const std::filesystem::path& library);
/** Parses every resource file of an archive into one description. */
Result<PluginResources> ParseResources(const std::map<std::string, std::string>& files);

} // namespace layra
