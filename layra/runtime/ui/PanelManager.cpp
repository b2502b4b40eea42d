#include "PanelManager.h"

#include "Dialogs.h"
#include "TreeView.h"
#include "Widgets.h"

#include <layra/IApplication.h>
#include <layra/IObjectModel.h>
#include <layra/ISession.h>
#include <layra/host/Host.h>
#include <layra/host/Views.h>

namespace layra {

PanelManager* CurrentPanels() {
  // The application, which holds the panel manager, lives as long as the session has it.
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  InterfacePtr<IPanelMgr> panels(application ? application->QueryPanelManager() : nullptr);
  return dynamic_cast<PanelManager*>(panels.get());
}

PanelManager::PanelManager() : fDialogs(new DialogManager()) {}

PanelManager::~PanelManager() {
  TearDown();
  fDialogs->Release();
}

void PanelManager::BuildPalettes() {
  if (Host* host = Host::Current()) {
    for (const LoadedPlugin& plugin : host->Plugins())
      CheckToolTips(plugin.resources);
  }
  for (Palette& palette : fPalettes) {
    if (!palette.view)
      palette.view.reset(CreateView(palette.declaration.plugin, palette.declaration.resource));
  }
}

void PanelManager::TearDown() {
  fDialogs->CloseAll();
  for (Palette& palette : fPalettes) {
    if (ControlView* view = HostView(palette.view))
      view->SetWindowShown(false);
    palette.shown = false;
    palette.view.reset();
  }
  fSelection.reset();
}

PanelManager::Palette* PanelManager::Find(WidgetID panel) {
  for (Palette& palette : fPalettes) {
    if (palette.declaration.widget == panel)
      return &palette;
  }
  return nullptr;
}

const PanelManager::Palette* PanelManager::Find(WidgetID panel) const {
  return const_cast<PanelManager*>(this)->Find(panel);
}

bool PanelManager::IsPanelWithWidgetIDShown(WidgetID panel) const {
  const Palette* palette = Find(panel);
  return palette && palette->shown;
}

bool PanelManager::ShowPanelByWidgetID(WidgetID panel, bool) {
  Palette* palette = Find(panel);
  if (!palette)
    return false;
  if (!palette->view)
    palette->view.reset(CreateView(palette->declaration.plugin, palette->declaration.resource));
  palette->shown = true;
  if (ControlView* view = HostView(palette->view))
    view->SetWindowShown(true);
  return true;
}

bool PanelManager::HidePanelByWidgetID(WidgetID panel) {
  Palette* palette = Find(panel);
  if (!palette)
    return false;
  palette->shown = false;
  if (ControlView* view = HostView(palette->view))
    view->SetWindowShown(false);
  return true;
}

PMString PanelManager::GetPanelTitle(WidgetID panel) const {
  const Palette* palette = Find(panel);
  if (!palette)
    return PMString();
  PMString title(palette->declaration.titleKey);
  title.Translate();
  return title;
}

IControlView* PanelManager::GetPanelFromWidgetID(WidgetID panel) const {
  if (const Palette* palette = Find(panel); palette && palette->view)
    return palette->view.get();
  for (IControlView* page : fPages) {
    if (page->GetWidgetID() == panel)
      return page;
  }
  return nullptr;
}

ISubject* PanelManager::SelectionSubject() {
  if (!fSelection)
    fSelection.reset(static_cast<ISubject*>(CreateObject(kActiveSelectionBoss, IID_ISUBJECT)));
  return fSelection.get();
}

std::optional<std::filesystem::path> PanelManager::NextFolderAnswer() {
  if (fFolderAnswers.empty())
    return std::nullopt;
  auto answer = std::move(fFolderAnswers.front());
  fFolderAnswers.pop_front();
  return answer;
}

void ActiveSelectionChanged() {
  PanelManager* panels = CurrentPanels();
  if (ISubject* subject = panels ? panels->SelectionSubject() : nullptr)
    subject->Change(kActiveSelectionChangedMessage, IID_IACTIVESELECTION, nullptr);
}

std::vector<PaletteEntry> Palettes() {
  std::vector<PaletteEntry> entries;
  PanelManager* panels = CurrentPanels();
  for (std::size_t i = 0; panels && i < panels->Palettes().size(); ++i) {
    const auto& palette = panels->Palettes()[i];
    entries.push_back(PaletteEntry{
        palette.declaration.widget,
        panels->GetPanelTitle(palette.declaration.widget).GetUTF8String(), palette.shown});
  }
  return entries;
}

std::vector<MenuEntry> PanelMenu(WidgetID palette) {
  std::vector<MenuEntry> entries;
  Host* host = Host::Current();
  PanelManager* panels = CurrentPanels();
  const PanelManager::Palette* found = nullptr;
  for (std::size_t i = 0; panels && i < panels->Palettes().size(); ++i) {
    if (panels->Palettes()[i].declaration.widget == palette)
      found = &panels->Palettes()[i];
  }
  if (!host || !found || found->declaration.menuKey.empty())
    return entries;
  const std::string& key = found->declaration.menuKey;
  for (const MenuDeclaration& menu : host->Menus()) {
    if (menu.path != key && menu.path != key + ":-")
      continue;
    PMString text(menu.titleKey);
    text.Translate();
    entries.push_back(MenuEntry{menu.action,
                                menu.IsSeparator() ? "" : text.GetUTF8String(),
                                menu.IsSeparator(),
                                host->IsActionKnown(menu.action),
                                menu.position,
                                {}});
  }
  return entries;
}

std::vector<MenuEntry> MainMenu() {
  constexpr std::string_view kMain = "Main:";
  std::vector<MenuEntry> entries;
  Host* host = Host::Current();
  for (std::size_t i = 0; host && i < host->Menus().size(); ++i) {
    const MenuDeclaration& declared = host->Menus()[i];
    // The menu that holds the entry: the path without "Main:" and without a separator's ":-".
    std::string_view path = declared.path;
    if (declared.IsSeparator())
      path.remove_suffix(2);
    if (!path.starts_with(kMain) || path.size() == kMain.size())
      continue;
    path.remove_prefix(kMain.size());
    std::string menu;
    for (std::size_t part = 0; part <= path.size();) {
      const std::size_t end = std::min(path.find(':', part), path.size());
      PMString name(std::string(path.substr(part, end - part)));
      name.Translate();
      menu += (menu.empty() ? "" : ":") + name.GetUTF8String();
      part = end + 1;
    }
    PMString text(declared.titleKey);
    text.Translate();
    entries.push_back(MenuEntry{declared.action, declared.IsSeparator() ? "" : text.GetUTF8String(),
                                declared.IsSeparator(), host->IsActionKnown(declared.action),
                                declared.position, menu});
  }
  return entries;
}

std::string MenuTextShown(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size())
      ++i; // "&&" is one '&'
    shown += text[i];
  }
  return shown;
}

namespace {
std::function<void()>& BusyHook() {
  static std::function<void()> hook;
  return hook;
}
} // namespace

std::int32_t TreeRowCount(IControlView* tree) {
  TreeViewMgr* manager = HostTree(tree);
  return manager ? manager->RowCount() : 0;
}

std::int32_t TreeFirstRow(IControlView* tree) {
  TreeViewMgr* manager = HostTree(tree);
  return manager ? manager->FirstRow() : 0;
}

void ScrollTree(IControlView* tree, std::int32_t row) {
  if (TreeViewMgr* manager = HostTree(tree))
    manager->SetFirstRow(row);
}

void SetFolderAsker(FolderAsker asker) {
  if (PanelManager* panels = CurrentPanels())
    panels->SetFolderAsker(std::move(asker));
}

void SetBusyHook(std::function<void()> hook) {
  BusyHook() = std::move(hook);
}

void RunBusyHook() {
  if (BusyHook())
    BusyHook()();
}

std::string FindImage(PluginID plugin, RsrcID id, const std::string& type) {
  Host* host = Host::Current();
  for (std::size_t i = 0; host && i < host->Plugins().size(); ++i) {
    const PluginResources& resources = host->Plugins()[i].resources;
    if (resources.id != plugin)
      continue;
    for (const ImageDeclaration& image : resources.images) {
      if (image.id == id && image.type == type)
        return image.bytes;
    }
  }
  return {};
}

} // namespace layra
