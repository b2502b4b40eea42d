#pragma once
// The host's panels and dialogs: palettes built from the plug-ins' panel declarations,
// preferences pages on screen, open dialogs, the active-selection subject, and the answers
// waiting for the folder chooser.

#include <layra/IControlView.h>
#include <layra/IDialogMgr.h>
#include <layra/IPanelMgr.h>
#include <layra/ISubject.h>
#include <layra/host/PluginResources.h>
#include <layra/host/Views.h>

#include "../model/RefCounted.h"

#include <deque>
#include <filesystem>
#include <optional>
#include <vector>

namespace layra {

class Dialog;

class DialogManager final : public RefCounted<IDialogMgr> {
public:
  ~DialogManager() override;
  IDialog* CreateNewDialog(const RsrcSpec& resource) override;
  IDialog* CreatePreferencesDialog(WidgetID panel) override;

  void Opened(Dialog* dialog);
  void Closed(Dialog* dialog);
  /** The dialog in front, not referenced; null when none is open. */
  Dialog* FrontDialog() const { return fOpen.empty() ? nullptr : fOpen.back(); }
  /** The open dialog whose view holds `widget`; null when none does. */
  Dialog* DialogOf(const IPMUnknown* widget) const;
  /** Cancels every open dialog. */
  void CloseAll();

private:
  std::vector<Dialog*> fOpen; // referenced
};

class PanelManager final : public RefCounted<IPanelMgr> {
public:
  PanelManager();
  ~PanelManager() override;

  void Declare(const PanelDeclaration& panel) { fPalettes.push_back(Palette{panel, {}, false}); }
  /** Builds every declared palette, off screen, as the host does at start. */
  void BuildPalettes();
  /** Takes every palette and dialog off screen and lets go of them. */
  void TearDown();

  bool IsPanelWithWidgetIDShown(WidgetID panel) const override;
  bool ShowPanelByWidgetID(WidgetID panel, bool forceShow) override;
  bool HidePanelByWidgetID(WidgetID panel) override;
  PMString GetPanelTitle(WidgetID panel) const override;
  IControlView* GetPanelFromWidgetID(WidgetID panel) const override;

  /** A preferences page on screen is found like a palette while it is registered. */
  void RegisterPage(IControlView* page) { fPages.push_back(page); }
  void UnregisterPage(IControlView* page) { std::erase(fPages, page); }

  DialogManager& Dialogs() { return *fDialogs; }
  ISubject* SelectionSubject();

  /** Answers for the next folder choosers, in order; nullopt cancels. */
  void QueueFolderAnswer(std::optional<std::filesystem::path> folder) {
    fFolderAnswers.push_back(std::move(folder));
  }
  std::optional<std::filesystem::path> NextFolderAnswer();
  const layra::FolderAsker& FolderAsker() const { return fFolderAsker; }
  void SetFolderAsker(layra::FolderAsker asker) { fFolderAsker = std::move(asker); }

  struct Palette {
    PanelDeclaration declaration;
    InterfacePtr<IControlView> view;
    bool shown;
  };
  const std::vector<Palette>& Palettes() const { return fPalettes; }

private:
  Palette* Find(WidgetID panel);
  const Palette* Find(WidgetID panel) const;

  std::vector<Palette> fPalettes;
  std::vector<IControlView*> fPages;
  DialogManager* fDialogs;
  InterfacePtr<ISubject> fSelection;
  std::deque<std::optional<std::filesystem::path>> fFolderAnswers;
  layra::FolderAsker fFolderAsker;
};

/** The running host's panel manager; null when no host runs. */
PanelManager* CurrentPanels();
/** Views from the plug-ins' view resources. */
IControlView* CreateView(PluginID plugin, RsrcID id);
/** Sends kActiveSelectionChangedMessage to whoever listens to the active selection. */
void ActiveSelectionChanged();

} // namespace layra
