#pragma once
// The host's window: the open documents in tabs, the plug-ins' palettes as dock widgets
// with their panel menus, dialogs as modal Qt dialogs, alerts as message boxes, and the
// folder chooser as a folder dialog. Everything it shows is read from the host's objects
// and everything a person does goes into them.

#include <layra/UIDRef.h>
#include <layra/host/Alerts.h>
#include <layra/host/Views.h>

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class QDialog;
class QDockWidget;
class QLabel;
class QMenu;

namespace layra {
class Host;
}

namespace layra::gui {

class DocumentTabs;
class DocumentView;
class PaletteDock;
class HostDialog;
class ProgressWindow;
class ViewMirror;

/** Shows an alert as a modal message box over `parent` (none while there is no window yet)
 *  and returns the number of the button chosen. */
std::int16_t PresentAlert(const AlertRecord& alert, QWidget* parent);

class Desktop : public QMainWindow, public ViewWatcher {
public:
  /** Takes over the host's alerts, folder chooser and widget changes until destroyed. */
  explicit Desktop(Host& host);
  ~Desktop() override;

  /** Shows an open document in a new tab, in front. */
  DocumentView* AddDocument(const UIDRef& document);
  /** Opens a document file as the File menu does; false with the reason in `error`. */
  bool OpenFile(const std::filesystem::path& file, std::string* error);
  bool SaveFront(std::string* error);
  bool SaveFrontAs(const std::filesystem::path& file, std::string* error);
  /** Closes the front document; a modified one asks first whether to save it. False when it
   *  stays open: cancelled, or its saving failed. */
  bool CloseFront();
  DocumentView* FrontView() const;
  /** The documents the window shows, from the first tab. */
  std::vector<UIDRef> Documents() const;
  bool Undo();
  bool Redo();

  PaletteDock* Palette(WidgetID palette) const;
  /** Finds a palette by its title; null when there is none. */
  PaletteDock* Palette(const QString& title) const;
  /** The dialog that shows a plug-in's task while it runs. */
  ProgressWindow* Progress() const { return fProgress; }
  /** The dialog in front; null when none is open. */
  HostDialog* FrontDialog() const;
  /** The Qt widget that shows a host widget, in a palette or a dialog; null when none. */
  QWidget* WidgetFor(const IControlView* view) const;

  /** Writes a PNG of the window, of the palette titled `palette`, or, for "dialog", of the
   *  dialog in front. */
  bool Screenshot(const std::filesystem::path& file, const QString& palette, std::string* error);
  /** Runs work of the host (an action, a palette's button), showing the window busy; the
   *  window repaints between the pages the host renders, user input waits. */
  void RunBusy(const std::function<void()>& work);
  bool IsBusy() const { return fBusy > 0; }

  void ViewChanged(IControlView* view) override;
  void WindowShown(IControlView* root, bool shown) override;
  void ViewGone(IControlView* view) override;
  void Batch(bool begins) override;

protected:
  /** Closing the window closes its documents, asking for each modified one. */
  void closeEvent(QCloseEvent* event) override;

private:
  /** The mirrors of the dialogs and palettes, on screen or not. */
  std::vector<ViewMirror*> Mirrors() const;
  void BuildMenus();
  /** Puts the plug-ins' main-menu entries in the menu bar. */
  void AddPluginMenus();
  /** The menu at `path` ("Menu" or "Menu:Submenu"), made when missing; plug-ins' menus go
   *  before the Window menu, their entries in a host menu after a separator. */
  QMenu* PluginMenu(const QString& path);
  void BuildPalettes();
  void ShowDocumentState();
  void FrontChanged(DocumentView* front);
  void RedrawDocuments();
  void AskScriptRequest();
  void ChooseOpen();
  /** Saves the front document under a name the person chooses; false when not saved. */
  bool ChooseSaveAs();
  /** Saves the front document as File > Save does: under its file, or under a chosen name
   *  when it has none yet; a failure is shown. False when not saved. */
  bool SaveFrontAsked();
  /** Asks whether to save a modified document before it closes; false: it stays open. */
  bool AgreeToClose(DocumentView* view);
  void Detach();

  Host& fHost;
  DocumentTabs* fTabs;
  QLabel* fPageLabel;
  QMenu* fWindowMenu = nullptr;
  ProgressWindow* fProgress;
  QAction* fUndo = nullptr;
  QAction* fRedo = nullptr;
  std::vector<PaletteDock*> fPalettes;
  std::vector<HostDialog*> fDialogs;
  int fBusy = 0;
  int fBatch = 0;
};

} // namespace layra::gui
